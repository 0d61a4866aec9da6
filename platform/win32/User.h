// Window functions over the framework's window registry and the caller endpoint.
#pragma once

#include "win32/WinTypes.h"
