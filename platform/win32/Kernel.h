// Kernel, shell-path and C runtime functions: paths through the drive map,
// INI reading, full-width mapping, global memory blocks.
//
// Every path given to these functions is a Windows path in code page 932
// (drive paths "C:\dir\file", share paths "\\server\share\dir\file", or paths
// relative to the process's Windows current directory); DriveMap turns them
// into host paths. Both '\' and '/' separate, and every scan steps over
// double-byte characters whole, so a trail byte 0x5C is never a separator.
#pragma once

#include "win32/WinTypes.h"

#include <cstddef>

typedef size_t SIZE_T;

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#ifndef GMEM_DDESHARE
#define GMEM_DDESHARE 0x2000
#endif
#ifndef LCMAP_HALFWIDTH
#define LCMAP_HALFWIDTH 0x00400000
#endif
#ifndef FILE_ATTRIBUTE_ARCHIVE
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#endif
#ifndef LANG_JAPANESE_JAPAN
#define LANG_JAPANESE_JAPAN 0x0411
#endif

#ifndef ERROR_INVALID_FUNCTION
#define ERROR_INVALID_FUNCTION 1L
#endif
#ifndef ERROR_INVALID_HANDLE
#define ERROR_INVALID_HANDLE 6L
#endif
#ifndef ERROR_NOT_ENOUGH_MEMORY
#define ERROR_NOT_ENOUGH_MEMORY 8L
#endif
#ifndef ERROR_WRITE_PROTECT
#define ERROR_WRITE_PROTECT 19L
#endif
#ifndef ERROR_SHARING_VIOLATION
#define ERROR_SHARING_VIOLATION 32L
#endif
#ifndef ERROR_BAD_NETPATH
#define ERROR_BAD_NETPATH 53L
#endif
#ifndef ERROR_FILE_EXISTS
#define ERROR_FILE_EXISTS 80L
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif
#ifndef ERROR_INSUFFICIENT_BUFFER
#define ERROR_INSUFFICIENT_BUFFER 122L
#endif
#ifndef ERROR_NOT_LOCKED
#define ERROR_NOT_LOCKED 158L
#endif
#ifndef ERROR_FILENAME_EXCED_RANGE
#define ERROR_FILENAME_EXCED_RANGE 206L
#endif
#ifndef ERROR_DIRECTORY
#define ERROR_DIRECTORY 267L
#endif
#ifndef ERROR_INVALID_FLAGS
#define ERROR_INVALID_FLAGS 1004L
#endif

// --- errors ---------------------------------------------------------------
// The calling thread's last error code.
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);
// The Windows error code for a host errno value (platform helper, used by the
// file class too).
DWORD Win32ErrorFromErrno(int err);

// --- current directory, temporary folder ------------------------------------
// The process keeps a Windows current directory; relative paths resolve
// against it. It starts as the host working directory seen through the map.
DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);
BOOL SetCurrentDirectoryA(LPCSTR lpPathName);
// The host's temporary folder as a Windows path ending in '\'.
DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer);

// --- diagnostics --------------------------------------------------------------
// Debug output: the text (code page 932) goes to standard error as one line,
// "zelkor: <text>" in UTF-8, for whoever looks after the installation.
void OutputDebugStringA(LPCSTR lpOutputString);
// The host path (code page 932) of a Windows path through the drive map, as a
// Wine prefix offers it to programs that know where they run; a relative path
// resolves against the current directory. The platform's own function: the
// length copied (the text is cut to fit), or 0 when the path lies on no mapped
// drive or share.
DWORD GetHostPathNameA(LPCSTR lpWindowsPath, LPSTR lpBuffer, DWORD nBufferLength);

// --- files and folders ------------------------------------------------------
BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
BOOL RemoveDirectoryA(LPCSTR lpPathName);
BOOL DeleteFileA(LPCSTR lpFileName);
// Puts the replacement file in the place of the replaced one in one step,
// with the replaced file's identity: its permission bits, its group and its
// owner (a reader sees the old file or the new one, never none). The
// replacement must be a regular file of a name of its own. When the
// replacement cannot be given that identity (a writer who is not the file's
// owner, a group the writer is no member of, an access list the host keeps
// beside the bits) or the folder refuses the rename (a sticky folder and a
// file of another user), nothing changes: both files stay as they were and
// the error is ERROR_UNABLE_TO_REMOVE_REPLACED. No backup file and no flags
// are kept (ERROR_INVALID_PARAMETER otherwise).
BOOL ReplaceFileA(LPCSTR lpReplacedFileName, LPCSTR lpReplacementFileName, LPCSTR lpBackupFileName,
                  DWORD dwReplaceFlags, LPVOID lpExclude, LPVOID lpReserved);
// Creates a new empty file "<path>\<prefix><hex>.tmp" (the prefix's first
// three characters, a hexadecimal number of one to four digits) that did not
// exist before, and writes its name to the buffer (MAX_PATH bytes). With
// uUnique 0 the number is chosen here and the file created exclusively, so
// no existing entry (a file, a link) is ever opened or changed, and private to
// its creator (read and write for the owner only, whatever the umask) until
// it is given another mode, as ReplaceFileA does; the result is
// the number, 0 with the error when no name could be created. A non-zero
// uUnique only forms the name.
UINT GetTempFileNameA(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName);
// Type of the drive or share with the given root ("C:\", "C:", "\\srv\share\");
// null: the root of the current directory.
UINT GetDriveTypeA(LPCSTR lpRootPathName);

// --- file handles -----------------------------------------------------------
// Files opened by name and used through a handle, for the program's own small
// files that need what the framework's file class does not give: creation of
// a name that must not exist yet, and a lock that a writer can wait for with
// a bound of its own.
//
// Host differences, each chosen so that no call ever blocks or reaches beyond
// the name it was given:
// - Only regular files are opened. An existing entry of any other kind (a
//   folder, a pipe, a device, a socket) gives ERROR_ACCESS_DENIED without
//   waiting for a peer, as a file that cannot be opened.
// - A symbolic link at the name is never followed: CREATE_NEW finds it an
//   existing entry (ERROR_FILE_EXISTS), the other dispositions a file that
//   cannot be opened (ERROR_ACCESS_DENIED). Links among the folders above the
//   name are resolved as usual.
// - The share mode is not kept; writers that must not meet take a lock.
// - As with the file class, a file without its owner's write permission and
//   any file on a CD-ROM drive cannot be opened for writing or created.
#ifndef GENERIC_READ
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#endif
#ifndef FILE_SHARE_READ
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004
#endif
#ifndef CREATE_NEW
#define CREATE_NEW 1
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#endif
#ifndef INVALID_HANDLE_VALUE
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))
#endif
#ifndef INVALID_FILE_SIZE
#define INVALID_FILE_SIZE 0xFFFFFFFFu
#endif
#ifndef LOCKFILE_FAIL_IMMEDIATELY
#define LOCKFILE_FAIL_IMMEDIATELY 0x00000001
#define LOCKFILE_EXCLUSIVE_LOCK 0x00000002
#endif
#ifndef ERROR_LOCK_VIOLATION
#define ERROR_LOCK_VIOLATION 33L
#endif
#ifndef ERROR_NOT_SUPPORTED
#define ERROR_NOT_SUPPORTED 50L
#endif
#ifndef ERROR_NEGATIVE_SEEK
#define ERROR_NEGATIVE_SEEK 131L
#endif
#ifndef ERROR_UNABLE_TO_REMOVE_REPLACED
#define ERROR_UNABLE_TO_REMOVE_REPLACED 1175L
#endif
#ifndef FILE_BEGIN
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#endif
#ifndef INVALID_SET_FILE_POINTER
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu
#endif

typedef DWORD* LPDWORD;
typedef struct _OVERLAPPED {
    ULONG_PTR Internal;
    ULONG_PTR InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
} OVERLAPPED, *LPOVERLAPPED;

// Dispositions CREATE_NEW (fails with ERROR_FILE_EXISTS when any entry has
// the name), OPEN_EXISTING and OPEN_ALWAYS; access GENERIC_READ and/or
// GENERIC_WRITE. Flags and attributes other than FILE_ATTRIBUTE_NORMAL are
// refused (ERROR_INVALID_PARAMETER). INVALID_HANDLE_VALUE on failure.
HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
// Synchronous only (lpOverlapped null). ReadFile reads up to the count, less
// only at the end of the file. WriteFile writes everything or fails: a full
// disk and a file-size limit of the process both give ERROR_DISK_FULL (the
// limit never ends the process), with *written the bytes that went out.
BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              LPOVERLAPPED lpOverlapped);
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               LPOVERLAPPED lpOverlapped);
// The low 32 bits of the size (the high ones in *lpFileSizeHigh when given);
// INVALID_FILE_SIZE with the error on failure.
DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
BOOL FlushFileBuffers(HANDLE hFile);
BOOL CloseHandle(HANDLE hObject);
// Moves the handle's position, where the next ReadFile or WriteFile starts
// (from the start, the position or the end; the high half of the distance in
// *lpDistanceToMoveHigh when given). The new position's low 32 bits, or
// INVALID_SET_FILE_POINTER with the error set.
DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh, DWORD dwMoveMethod);
// Cuts or extends the file to the handle's position.
BOOL SetEndOfFile(HANDLE hFile);

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;
typedef struct _BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD dwVolumeSerialNumber;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD nNumberOfLinks;
    DWORD nFileIndexHigh;
    DWORD nFileIndexLow;
} BY_HANDLE_FILE_INFORMATION, *LPBY_HANDLE_FILE_INFORMATION;
// What the handle's file is: the volume serial number and the file index
// together name one file (two handles of one file give the same pair, also
// through different names), the size, the number of names. The attributes
// are FILE_ATTRIBUTE_NORMAL or FILE_ATTRIBUTE_READONLY; the times are not
// kept (zero).
BOOL GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpFileInformation);

// Locks between handles, in this process and others. A lock covers the whole
// file whatever range is given (the host's whole-file lock, held by the
// handle); a handle opened for reading only may take an exclusive lock. With
// LOCKFILE_FAIL_IMMEDIATELY a lock held elsewhere gives ERROR_LOCK_VIOLATION
// at once; without it the call waits. Closing the handle releases its lock.
// A file system that keeps no locks (a network share without its lock
// service, some mounts of user-space file systems) gives ERROR_NOT_SUPPORTED,
// so that a caller can tell "no locks here" from "held by another".
BOOL LockFileEx(HANDLE hFile, DWORD dwFlags, DWORD dwReserved, DWORD nNumberOfBytesToLockLow,
                DWORD nNumberOfBytesToLockHigh, LPOVERLAPPED lpOverlapped);

// --- time ---------------------------------------------------------------------
// Milliseconds since an arbitrary start, wrapping at 2^32 (a steady clock).
DWORD GetTickCount();
void Sleep(DWORD dwMilliseconds);

// --- shell path functions ---------------------------------------------------
// FILE_ATTRIBUTE_DIRECTORY for an existing folder, else FALSE.
BOOL PathIsDirectoryA(LPCSTR pszPath);
// Behind the root: "C:\a" -> "a", "\\srv\share\a" -> "a", "\a" -> "a";
// null when the path has no root (relative and drive-relative paths).
LPSTR PathSkipRootA(LPCSTR pszPath);
// Cuts the path to its root ("C:\", "\\srv\share", "\"); FALSE when it has none.
BOOL PathStripToRootA(LPSTR pszPath);

// --- C runtime --------------------------------------------------------------
// Splits a path into drive (an ASCII letter and a colon, else empty), folder
// (up to the last '\' or '/'), name and extension (from the last '.' of the
// name). Any output may be null; each is cut to its _MAX_ size, never inside a
// double-byte character.
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
// 0 when the file or folder exists with the access of the mode (0 existence,
// 2 write, 4 read, 6 read and write), else -1.
int _access(const char* path, int mode);
// Comparisons that ignore the case of ASCII letters. Double-byte characters
// are compared whole and exactly, so a trail byte that happens to equal a
// letter is never folded.
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t count);
// Integer to text in base 2 to 36 (lower-case digits). Negative values have a
// sign in base 10 only; in other bases they are written as unsigned 32-bit
// values.
char* _itoa(int value, char* buffer, int radix);

// The platform runtime's atoi, kept apart from the host's (whose result on
// overflow is undefined): leading blanks (space, \t \n \v \f \r), an
// optional sign, then the decimal digits up to the first other character;
// no digits give 0, a null text gives 0. A value beyond the int range
// saturates at INT_MAX or INT_MIN, so "4294967300" is INT_MAX, never 4.
// The program converts every decimal text through this one function.
int CrtAtoi(const char* text);

// --- INI files --------------------------------------------------------------
// The value of a key, or the default when the file, the section or the key is
// missing. Section and key are matched ignoring case. The copy is cut to
// nSize - 1 bytes and a NUL; the result is the number of bytes copied.
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName);

// --- locale -----------------------------------------------------------------
LCID GetSystemDefaultLCID();
// LCMAP_FULLWIDTH: half-width ASCII, symbols and katakana become their
// full-width code page 932 forms. cchSrc -1: NUL-terminated (the NUL is
// mapped and counted). cchDest 0: the size needed, in bytes.
int LCMapStringA(LCID Locale, DWORD dwMapFlags, LPCSTR lpSrcStr, int cchSrc, LPSTR lpDestStr, int cchDest);

// --- global memory ----------------------------------------------------------
HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
LPVOID GlobalLock(HGLOBAL hMem);
BOOL GlobalUnlock(HGLOBAL hMem);
// Null on success, the handle on failure.
HGLOBAL GlobalFree(HGLOBAL hMem);

// --- control events and critical sections --------------------------------
// A termination signal of the host is the console's control event: SIGINT
// (Ctrl+C) CTRL_C_EVENT, SIGHUP (the terminal closed) CTRL_CLOSE_EVENT,
// SIGTERM CTRL_SHUTDOWN_EVENT; the handlers run on a thread of their own while
// the rest of the process is held (platform/README.md, "Termination signals").
#define CTRL_C_EVENT 0
#define CTRL_BREAK_EVENT 1
#define CTRL_CLOSE_EVENT 2
#define CTRL_LOGOFF_EVENT 5
#define CTRL_SHUTDOWN_EVENT 6
typedef BOOL (*PHANDLER_ROUTINE)(DWORD dwCtrlType);
// Adds (Add TRUE) or removes a handler; a null handler is refused.
BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE HandlerRoutine, BOOL Add);

// A lock between the program's thread and a control handler; recursive, as
// on Windows.
typedef struct _CRITICAL_SECTION {
    void* impl;
} CRITICAL_SECTION, *LPCRITICAL_SECTION;
void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
