// Resource identifiers of hzwk.exe (shared by the resource script and the code).
#pragma once

#define IDI_HZWK 1

#define HZWK_VERSION_BINARY 2, 1, 0, 1
#define HZWK_VERSION_TEXT "2.1a"
