// Whether the drive or share of an output path can be written to. The
// conditions dialog calls these before it accepts an output path.
#pragma once

#include "mfc/Afx.h"

// 1 when the drive or share of the path can be written, else 0. A share path
// (\\server\share\...) is tested at its share root; any other path by its
// first byte taken as the drive letter.
int IsValidOutputLocation(LPCSTR pszPath);

// 1 when the drive of the letter (either case) is accepted for the _access
// mode: removable, fixed and remote drives when their root passes the
// access test; a letter without a volume, and drive types this program does
// not know, without a test. Unknown-type, CD-ROM and RAM-disk drives, and
// anything that is no letter, give 0.
int IsUsableDrive(int nLetter, int nMode);
