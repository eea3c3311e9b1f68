// The typeface the toolkit draws all text with, compiled in from Debian's fonts-liberation2 at build
// time (Liberation Sans Regular, SIL Open Font License 1.1; never committed).
#pragma once

const unsigned char* embeddedFontData();
