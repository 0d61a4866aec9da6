// Kernel, shell-path and C runtime functions: paths through the drive map,
// INI reading, full-width mapping, global memory blocks.
#pragma once

#include "win32/WinTypes.h"
