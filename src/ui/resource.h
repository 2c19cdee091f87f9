// Resource identifiers of hzwk.exe (shared by the resource script and the code).
#pragma once

#include "core/version.h"

#define IDI_HZWK 1
