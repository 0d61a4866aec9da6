// The file that remembers the conditions of the last completed export, one
// line per user and dataset:
//
//     <key><mode>/<start>/<end>/<sales>/<purchase>/<niwari>/<path>\n
//
// The key is "user/data:" or, in the network edition, "user/number/data:".
// Only the first six slashes after the key separate fields, so the path may
// hold slashes. Lines end with a line feed alone; texts are code page 932.
//
// The file is never changed in place: a write builds the whole new content
// in a file beside the settings file and then puts it in the settings file's
// place, so a write that fails half way (full disk, a file-size limit,
// removed folder) leaves the old file, and every other user's line in it, as
// it was.
//
// Writers of one settings file take turns: the read, the change and the swap
// happen under an exclusive lock of the file "<settings file>.lock" beside it
// (created when missing, never removed, never written). Several deliverables
// and users finish runs on one shared folder at the same moment, and without
// the turns the later swap would drop the line the earlier one had added. A
// writer waits for its turn at most the lock wait (kLockWaitMs by default)
// and then gives up as for a file that cannot be written; it never hangs.
// Readers take no turn: the swap is one step, so they see the old file or the
// new one.
//
// The new content goes to the fixed name "<settings file>.new". Under the
// lock nobody else uses that name, so whatever is found there is left over
// from an interrupted write (or planted): it is removed as an entry, never
// followed when it is a link, and the name is then created afresh with an
// exclusive creation that fails rather than open anything that appeared
// there meanwhile. A link planted at the name can thus neither receive the
// settings lines nor end up as the settings file.
//
// Only regular files are read: a settings file that is a link, a pipe or a
// device reads as a file that cannot be opened (nothing remembered), and a
// write leaves it alone and fails, without waiting on it.
//
// What the format leaves open is decided here:
// - A key is never cut. With a user ID of up to 64 bytes and a data ID of 34
//   the key is longer than 50 bytes in the normal case, and a cut key could
//   let one user read or replace another user's line.
// - The six numbers of a line are read as the platform runtime's atoi reads
//   them (leading blanks, a sign, the digits up to the first other
//   character, none giving 0, overflow saturating) and cut to their
//   output's width: "0xyz/ 6/9abc/257/..." is mode 0, months 6 and 9, sales
//   method 1. A line of the key is damaged, and read as no line at all (the
//   next write replaces it), only when it has fewer than six slashes, an
//   empty numeric field, or a path over 260 bytes or holding a NUL byte.
// - A last line without its line feed is still read; a write first ends it
//   with one, so the new line never runs into it.
// - One carriage return before a line feed (a line saved by an editor that
//   ends lines with CR LF) is no part of the path.
// - Lines of other keys are kept byte for byte, whatever their length.
// - Every line of the written key is dropped when it is written again, so a
//   file that somehow held two lines of one key is mended.
// - A key or path holding a line feed or carriage return cannot be stored
//   and is refused; a path over 260 bytes is refused rather than cut.
// - Files up to kMaxFileSize bytes are read and written (well beyond the
//   32,767 bytes the format was made for); a larger file is left untouched
//   and read as holding nothing.
#pragma once

#include "mfc/Afx.h"

#include <string>

class JokenSettingsFile {
public:
    // Longest path a line carries (a 261-byte buffer with its NUL).
    static constexpr int kMaxPathBytes = 260;
    static constexpr unsigned kMaxFileSize = 1024 * 1024;
    // How long a writer waits for its turn; each turn lasts milliseconds.
    static constexpr DWORD kLockWaitMs = 5000;
    // Names beside the settings file: the new content, the writers' lock.
    static constexpr const char* kNewSuffix = ".new";
    static constexpr const char* kLockSuffix = ".lock";

    struct Conditions {
        int nMode = 0;
        short nStartMonth = 0;
        short nEndMonth = 0;
        BYTE byUriage = 0;   // sales method
        BYTE byShiire = 0;   // purchase method
        BYTE byNiwari = 0;   // 「2割特例」
        char szPath[kMaxPathBytes + 1] = {};
    };

    // The settings file is pszFolder (a folder path ending with a backslash)
    // followed by pszFileName. A writer waits at most dwLockWaitMs for its turn.
    JokenSettingsFile(LPCSTR pszFolder, LPCSTR pszFileName, DWORD dwLockWaitMs = kLockWaitMs);

    // The key of a user and dataset; the selected number is part of it only
    // when bWithSelectedNo is set (network edition).
    static CString MakeKey(LPCSTR pszUserID, LPCSTR pszDataID, bool bWithSelectedNo, long lSelectedNo);

    // 1 with the conditions of the key's line; 0, with `out` untouched, when
    // there is no file, no line of the key, or the line is damaged.
    BOOL Read(LPCSTR pszKey, Conditions& out) const;

    // Replaces or adds the key's line, which becomes the last line of the
    // file; the other lines keep their order. Creates a missing folder (and
    // removes what it created when that fails). 1 when written, else 0 with
    // the file as it was (also when the turn did not come within the wait).
    BOOL Write(LPCSTR pszKey, const Conditions& values) const;

    // The line for a key (with its line feed), or empty when it cannot be
    // stored (a line feed or carriage return in key or path, a path too long).
    static std::string FormatLine(LPCSTR pszKey, const Conditions& values);
    // Parses the value part of a line (after the key, without the line feed).
    static bool ParseValue(const std::string& value, Conditions& out);

private:
    // Byte offset of the first line that begins with the key, or npos.
    static size_t FindLine(const std::string& text, const std::string& key, size_t from = 0);
    // The whole file, or false when it is missing (bMissing set), not a
    // regular file, too large or unreadable.
    bool LoadFile(std::string& text, bool& bMissing) const;
    bool EnsureFolder() const;
    // Puts `text` in the settings file's place through the new-content name.
    bool ReplaceWith(const std::string& text) const;

    CString m_strFolder;
    CString m_strFilePath;
    DWORD m_dwLockWaitMs;
};
