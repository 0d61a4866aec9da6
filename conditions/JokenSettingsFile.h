// The file that remembers the conditions of the last completed export, one
// line per user and dataset:
//
//     <key><mode>/<start>/<end>/<sales>/<purchase>/<niwari>/<path>\n
//
// The key is "user/data:" or, in the network edition, "user/number/data:".
// Only the first six slashes after the key separate fields, so the path may
// hold slashes. Lines end with a line feed alone; texts are code page 932.
//
// Writers of one settings file take turns: the read, the change and the
// write happen under an exclusive lock of the settings file itself, taken
// through a handle that may read and write it (the file is created empty when
// there is none yet). A writer whose file was replaced while it waited (the
// writer before it put a new file in its place) finds that its handle no
// longer names the file and takes its turn on the new one. Nothing else is
// made beside the settings file to take turns, so nothing can be left behind
// that keeps another user out: the lock goes with the handle, also when a run
// is killed. A writer waits for its turn at most the lock wait (kLockWaitMs by
// default) and then gives up as for a file that cannot be written; it never
// hangs. A reader waits for a turn under way to end (by a lock that readers
// share), at most kReadWaitMs or the lock wait if that is shorter, and then
// reads the file as it is; it never fails for a lock, and one that waited
// never meets a line half moved (see below). On a file system that keeps no
// locks (a share without its lock service, some user-space mounts) writers
// and readers go on without turns, as a single writer would; runs that finish
// at the same moment there may then lose one of their own lines. Every state
// a writer leaves the file in, at any moment, is a whole file.
//
// A settings folder shared by several host users holds one file that each of
// them may read and write through the group or the other users' permissions,
// and a write keeps that so: the file keeps its permission bits, its group and
// its owner, whatever the writer's umask.
//
// Free lines. A line of spaces only (blanked) or one whose first byte is a
// NUL (hidden: a write that did not end) is no line of any key; its bytes are
// free for the next writer. The file stays as small as its lines of keys:
// - A new key's line in a file without free lines is appended to the file
//   as it is (also the first line of a new file).
// - Otherwise the new content (the other lines in their order, byte for byte,
//   without the key's lines and the free ones, then the key's new line) is
//   written to a file of a new name made exclusively beside the settings file
//   ("Zel<hex>.TMP", private to the writer while it is written) and put in the
//   settings file's place in one step, with the settings file's permission
//   bits, group and owner. That step is only possible to the file's owner (or
//   to root), only where the folder allows it, and only for a file that has
//   no access list beside its bits (the new file would not carry it): where
//   the new name cannot be made, cannot take the old one's identity, or the
//   folder refuses the rename (a sticky folder and a file of another user),
//   the new name is removed again and the file is changed in place instead.
//   Where the disk does not take the new content, the write fails and the
//   file stays as it was.
// - In place, every change is one write or one cut of the file, ordered so
//   that the file is whole after each of them; a reader that finds two lines
//   of a key takes the first:
//   1. The new line goes into the first free line that holds it exactly or
//      with room for a line of spaces after it, else at the end (a last line
//      without its line feed gets one first). It is written with a NUL in
//      place of its first byte, so that a reader cannot take a line cut short
//      by a crash or a full disk for a line of its key; the real first byte
//      follows as a write of one byte. An append that fails cuts the file
//      back to its old length.
//   2. Each old line of the key is blanked: its first byte becomes a NUL, the
//      rest spaces, then the first byte a space. A reader finds the old line
//      until the new one is whole, then one of the two, then the new one.
//   3. Each run of free lines becomes one line of spaces, hidden behind a NUL
//      while its line feeds turn into spaces: hidden lines are taken back,
//      neighbours joined.
//   4. The free lines at the end are cut off. While a free line before it can
//      hold the last line of the file, the last line is copied there (hidden,
//      then its first byte) and then cut off at its old place; a last line of
//      which an equal copy stands before it is cut off at once. Where the
//      writers take no turns, only the key's own lines are moved this way, so
//      that no run can lose another user's line to a writer that meets it.
//      (A reader that read the front of the file before a copy and its end
//      after the cut would miss the moved line: readers wait for a turn
//      under way for that reason.)
//   When the new line fits nowhere within kMaxFileSize, steps 3 and 4 come
//   first; where it still does not fit (lines of keys fill the file up to
//   the bound), the write fails and nothing changes.
//   Bytes are written only where no line of a key stands (a free line or
//   past the end), and a line is blanked or cut only once another whole copy
//   of it, or the key's new line, stands in the file. A crash at any point
//   therefore leaves every line of a key readable, the old or the new one,
//   and other users' lines byte for byte: at worst a hidden line, which the
//   next write of any user takes back, a line beside its copy, which the
//   next write cuts off while it is the last line, or the key's old line
//   beside its new one; the key's next write drops all its lines.
//   Where the writers take turns, a write leaves no free line at the end of
//   the file and none before its last line that could hold that line, so a
//   file grown by blanked lines is brought back by the next write, whoever
//   makes it; without turns the others' lines come forward as their users
//   write them.
// - A settings file that a failed first write created stays no empty file:
//   it is removed again. A new file (and a new folder) takes the mode of
//   the umask of the user who makes it first, as every file that user makes;
//   from then on the rules above keep it.
// Whatever the writer removes or renames is the file it created itself in
// that write: no fixed name is used beside the settings file, so an entry
// found there (the export of a run, a planted link) is never touched. A run
// killed between making its new file and putting it in place leaves that
// "Zel<hex>.TMP" behind (readable to its writer only), the settings file
// whole; no later writer removes it, as none can tell it from a file of
// somebody else's. The file a run has just exported is never changed
// afterwards: when it is the settings file itself (the user chose that name
// and its overwrite), the write is refused and the run's conditions are not
// remembered.
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
// - Lines of other keys are kept byte for byte, whatever their length; a
//   rewrite in place may move them forward in the file.
// - Every line of the written key is dropped when it is written again, so a
//   file that somehow held two lines of one key is mended.
// - A key or path holding a line feed or carriage return cannot be stored
//   and is refused; a path over 260 bytes is refused rather than cut.
// - Files up to kMaxFileSize bytes are read and written (well beyond the
//   32,767 bytes the format was made for); a larger file is left untouched
//   and read as holding nothing. No write makes a file larger than that.
// - A write that cannot remember the conditions says why (Failure), so that
//   the run can tell its user; the run itself goes on.
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
    // How long a reader waits at most for a turn under way to end.
    static constexpr DWORD kReadWaitMs = 1000;
    // The first characters of the names of new content beside the file.
    static constexpr const char* kNewContentPrefix = "Zel";

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

    // Why a write did not remember the conditions.
    enum class Failure {
        None,
        NotStorable,  // the key or the path cannot stand in a line
        NoFolder,     // no settings folder, or it cannot be made
        NotOpened,    // the file cannot be opened to be written
        NoTurn,       // another writer held its turn past the wait
        OwnExport,    // the settings file is the run's own export
        TooLarge,     // the file is larger than kMaxFileSize
        NotRead,      // the file cannot be read
        Full,         // lines of keys fill the file up to kMaxFileSize
        NotWritten,   // the host refused a write (a full disk)
    };

    // Replaces or adds the key's line (see the head of this file for where
    // it goes). Creates a missing folder (and removes what it created when
    // that fails). 1 when written, else 0 with the file whole and every other
    // line readable as it was (also when the turn did not come within the
    // wait), and the reason in *pWhy when given. pszExport, when given, is
    // the file the run has just exported: when it is the settings file,
    // nothing is written.
    BOOL Write(LPCSTR pszKey, const Conditions& values, LPCSTR pszExport = nullptr, Failure* pWhy = nullptr) const;
    // The reason as a sentence for the user (code page 932).
    static const char* FailureText(Failure why);

    // The line for a key (with its line feed), or empty when it cannot be
    // stored (a line feed or carriage return in key or path, a path too long).
    static std::string FormatLine(LPCSTR pszKey, const Conditions& values);
    // Parses the value part of a line (after the key, without the line feed).
    static bool ParseValue(const std::string& value, Conditions& out);

private:
    // Byte offset of the first line that begins with the key, or npos.
    static size_t FindLine(const std::string& text, const std::string& key, size_t from = 0);
    // The whole file, or false when it is missing, not a regular file, too
    // large or unreadable.
    bool LoadFile(std::string& text) const;
    bool EnsureFolder() const;
    enum class Replaced { Done, NotPossible, NotWritten };
    // Puts `text` in the settings file's place through a new file of its own.
    Replaced ReplaceWith(const std::string& text) const;
    BOOL WriteLine(LPCSTR pszKey, const Conditions& values, LPCSTR pszExport, Failure& why) const;
    // The change of the file that the writer's turn holds open; bLocked:
    // the other writers wait for this turn.
    Failure WriteInTurn(HANDLE hFile, bool bLocked, LPCSTR pszKey, const std::string& line, LPCSTR pszExport) const;

    CString m_strFolder;
    CString m_strFilePath;
    DWORD m_dwLockWaitMs;
};
