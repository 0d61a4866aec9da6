// The Windows API and C runtime subset, as the program's code includes it.
#pragma once

#include "win32/WinTypes.h"
#include "win32/Mbcs.h"
#include "win32/Kernel.h"
#include "win32/User.h"
