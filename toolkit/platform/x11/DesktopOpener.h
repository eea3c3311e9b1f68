// Opens a web address with the desktop's opener (xdg-open), started directly, never through a shell,
// never waited for, its output sent to /dev/null, and no child left behind as a zombie. [any thread]
#pragma once

// Without reporting failure: a desktop without an opener just shows nothing.
void openWithDesktop(const char* url);
