/* The program's version: the one place the build, the resources, the window titles and the
   help pages take it from. Plain C macros, so the resource compiler and the end-to-end driver
   read it too. The numeric form (the version resource's) must say the same as the text:
   major, minor, 0, the letter's place in the alphabet (none: 0). Configuring checks it. */
#pragma once

#define HZWK_VERSION_TEXT "2.1a"
#define HZWK_VERSION_BINARY 2, 1, 0, 1
