// Operations that take an output path apart and check its characters.
//
// Paths are code page 932 bytes: the second byte of a double-byte character
// may be 0x5C or 0x7C, and is never taken for a backslash or any other
// single-byte character. Folder operations work in buffers of 261 bytes (a
// path of at most 260 bytes and its terminator); an operation that would make
// a path longer fails instead of cutting it. None of them shows a message:
// each returns a result and leaves the wording to its caller.
#pragma once

#include "mfc/Afx.h"

// Size of the working buffers of the folder operations.
const int kPathBufferSize = 261;

// 1 when the byte at the index is the first or second byte of a double-byte
// character (positions found by a walk from the first byte), else 0.
int IsDoubleByteAt(LPCSTR pszText, int nIndex);

// Makes the path end with a backslash, appending one when needed; a final
// 0x5C that is the second byte of a double-byte character does not count.
// 1 when the path ends with a backslash afterwards; 0 for a null or empty
// path, or when appending would need more than nSize bytes with the NUL.
int AddTrailingBackslash(LPSTR pszPath, int nSize);

// Replaces the path by its drive-and-folder part with a trailing backslash
// (C:\data\out.xml -> C:\data\, C:out.xml -> C:\, C: stays C:). The
// backslash is appended only when the part is shorter than the path given.
// 0, and the path unchanged, for a null or empty path, an empty part, or a
// folder part longer than the path splitter takes (255 bytes).
int GetDriveDir(LPSTR pszPath);

// Non-zero when the drive-and-folder part of the path (the whole path when
// that part is empty) is an existing folder.
int IsExistingFolder(LPCSTR pszPath);

// The root of the path (C:\ for a drive path, \\server\share for a share
// path) in pszOut; 0 when it cannot be formed or the path does not fit.
int GetRootPath(LPCSTR pszPath, LPSTR pszOut, int nSize);

// Cuts at the last backslash or colon; the character belongs to the left.
CString GetFolderPart(const CString& strPath);      // up to the last '\', empty when none
CString GetFileNamePart(const CString& strPath);    // after the last '\', all when none
CString GetDrivePart(const CString& strPath);       // up to the last ':', empty when none
CString GetAfterDrivePart(const CString& strPath);  // after the last ':', all when none

// 1 when the path has none of the characters refused in an output path, else
// 0. The leading \\ of a share path and the first colon of a drive path are
// allowed; a doubled backslash elsewhere, a second colon, / , ; * ? " < > |
// are refused. A null path counts as an empty one (1).
int HasValidPathChars(LPCSTR pszPath);
