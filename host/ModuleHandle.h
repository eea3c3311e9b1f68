// The library's own module, for code that must find the library's resources or register window classes
// in its name.
#pragma once

// The instance handle the loader passed to the library's load-time hook; null before it runs and on
// platforms without one. An HINSTANCE on Windows.
extern void* hInstance;
