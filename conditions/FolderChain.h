// Creation of a folder path level by level, and the roll-back that removes
// again what such a creation made when a deeper level cannot be created.
// Used for the output folder and the settings file's folder.
#pragma once

#include "mfc/Afx.h"

// Creates every missing level of the folder part of the path, from the first
// folder below the root down. 1 when every level exists afterwards; 0 when
// the path has no root, is too long, or a level cannot be created, in which
// case the folders this call created are removed again. A level that another
// process creates meanwhile (its creation here fails because it exists)
// counts as existing, and as one that this call did not create.
int CreateFolderChain(LPCSTR pszFolder);

// Removes, deepest first, every existing folder on the failed level's path
// that lies strictly below the kept level (the deepest level that existed
// before) and above the failed level itself, which this call never removes:
// where it exists, another process made it. Both must share their root and
// the failed level must lie below the kept one, else nothing is removed and
// the result is 0. 0 also when a removal fails (a folder that gained content
// meanwhile), which stops it.
int RemoveCreatedFolders(LPCSTR pszFailedLevel, LPCSTR pszKeptLevel);
