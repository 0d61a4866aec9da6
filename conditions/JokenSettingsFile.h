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
// place, so a write that fails half way (full disk, removed folder) leaves the
// old file, and every other user's line in it, as it was.
//
// What the format leaves open is decided here:
// - A key is never cut. With a user ID of up to 64 bytes and a data ID of 34
//   the key is longer than 50 bytes in the normal case, and a cut key could
//   let one user read or replace another user's line.
// - A line of the key that is damaged (fewer than six slashes, an empty or
//   non-numeric field, a value outside its width, a path over 260 bytes) is
//   read as no line at all, and the next write replaces it.
// - A last line without its line feed is still read; a write first ends it
//   with one, so the new line never runs into it.
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
    // followed by pszFileName.
    JokenSettingsFile(LPCSTR pszFolder, LPCSTR pszFileName);

    // The key of a user and dataset; the selected number is part of it only
    // when bWithSelectedNo is set (network edition).
    static CString MakeKey(LPCSTR pszUserID, LPCSTR pszDataID, bool bWithSelectedNo, long lSelectedNo);

    // 1 with the conditions of the key's line; 0, with `out` untouched, when
    // there is no file, no line of the key, or the line is damaged.
    BOOL Read(LPCSTR pszKey, Conditions& out) const;

    // Replaces or adds the key's line, which becomes the last line of the
    // file; the other lines keep their order. Creates a missing folder (and
    // removes what it created when that fails). 1 when written, else 0 with
    // the file as it was.
    BOOL Write(LPCSTR pszKey, const Conditions& values) const;

    // The full Windows path of the settings file.
    const CString& GetFilePath() const { return m_strFilePath; }

    // The line for a key (with its line feed), or empty when it cannot be
    // stored (a line feed or carriage return in key or path, a path too long).
    static std::string FormatLine(LPCSTR pszKey, const Conditions& values);
    // Parses the value part of a line (after the key, without the line feed).
    static bool ParseValue(const std::string& value, Conditions& out);

private:
    // Byte offset of the first line that begins with the key, or npos.
    static size_t FindLine(const std::string& text, const std::string& key, size_t from = 0);
    // The whole file, or false when it is missing, too large or unreadable.
    bool LoadFile(std::string& text, bool& bExists) const;
    bool EnsureFolder() const;

    CString m_strFolder;
    CString m_strFilePath;
};
