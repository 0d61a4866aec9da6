// The program's string table.
#pragma once

#include "win32/WinTypes.h"

// String 1: the link program's own version, written into SYSTEM.
// The ids are defined beside the table, so that every program unit that
// loads a string by its id also links the table in.
extern const UINT IDS_PROGRAM_VERSION;
