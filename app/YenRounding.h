// Whole yen from a raw amount (1/10000 yen), by the dataset's rounding mode.
#pragma once

#include "win32/Windows.h"

// Modes: 0 half up with the carry taken digit by digit through the four
// decimals (so .4445 already rounds up), 1 truncate, 2 up on any remainder,
// anything else truncates. A negative amount is rounded on its magnitude and
// the sign restored, so -0.5 gives -1 in mode 0 and -1.0001 gives -2 in
// mode 2, and no mode moves the result more than one yen from the truncated
// value.
__int64 RoundYen(__int64 llRaw, BYTE nHasuMode);
