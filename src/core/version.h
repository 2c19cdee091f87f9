/* The program's version: the one place the build, the resources and the window titles take
   it from. Plain C macros, so the resource compiler and the end-to-end driver read it too. */
#pragma once

#define HZWK_VERSION_TEXT "2.1a"
#define HZWK_VERSION_BINARY 2, 1, 0, 1
