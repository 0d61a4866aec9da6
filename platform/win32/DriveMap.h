// Windows paths on the host, in the manner of a Wine prefix.
//
// Each drive letter maps to a host folder and has a drive type; shares
// (\\server\share) map to host folders. A letter without a mapping has no
// root directory. The map also holds the process's Windows current directory,
// against which relative paths resolve.
//
// Default map: C: -> <suite home>/drive_c (fixed, created when missing),
//              Z: -> / (fixed).
//
// ZELKOR_DRIVES (or DRIVES= in zelkor.conf) adds to or replaces the defaults:
//     entries separated by ';', each  LETTER=HOSTDIR[:TYPE]
//     TYPE is one of fixed (default), removable, remote, cdrom, ramdisk, unknown;
//     a relative HOSTDIR is taken from the suite home; an empty HOSTDIR
//     removes the letter ("D=" leaves D: without a root).
//     Example: C=/srv/zk/c;E=/mnt/usb:removable;Q=/mnt/cd:cdrom;Z=
// ZELKOR_SHARES (or SHARES=): entries separated by ';', each
//     \\SERVER\SHARE=HOSTDIR  (or //SERVER/SHARE=HOSTDIR); server and share
//     names are matched ignoring case; a share's drive type is remote.
//     Example: \\srv\data=/srv/export/data
// Entries that cannot be read are skipped with a note on standard error.
//
// Host names: each path component is converted from code page 932 to UTF-8.
// An existing host entry whose name differs only in ASCII letter case is
// used for a component (Windows names ignore case); a missing component keeps
// the spelling it was given.
#pragma once

#include "win32/WinTypes.h"

#include <map>
#include <string>
#include <string_view>

class DriveMap {
public:
    struct Drive {
        std::string hostRoot;  // host folder, no trailing '/' (except "/")
        UINT type = DRIVE_FIXED;
    };
    struct Share {
        std::string server;    // as configured, code page 932
        std::string share;
        std::string hostRoot;
    };

    // The map of this process, built from PlatformConfig on first use.
    static const DriveMap& Current();
    // Builds the map again from PlatformConfig (after PlatformConfig::Reload).
    static void Reload();
    // Installs a map from texts in the configuration format; the suite home
    // is PlatformConfig's. The defaults apply as with the configuration.
    static void SetForTesting(const std::string& drives, const std::string& shares);

    // Parses the configuration texts onto the defaults.
    static DriveMap Parse(const std::string& drives, const std::string& shares, const std::string& suiteHome);

    // Mapping of a drive letter (either case); null when it has none.
    const Drive* FindDrive(char letter) const;
    // Mapping of a share; null when it has none.
    const Share* FindShare(std::string_view server, std::string_view share) const;

    // --- current directory (process wide) ---
    static std::string CurrentDirectory();
    // Sets the current directory to an existing folder; false (with the
    // Windows error) when it is not one.
    static bool SetCurrentDirectory(std::string_view windowsPath, DWORD* error);

    // The full Windows form of a path: relative, drive-relative ("C:x") and
    // rooted ("\x") paths resolved against the current directory; '/' becomes
    // '\'; repeated separators, "." and ".." removed (".." stops at the root).
    // A trailing separator is kept. Empty when the path is empty.
    static std::string FullPath(std::string_view windowsPath);

    // The host path of a Windows path; empty when its drive or share has no
    // mapping (or the path is empty).
    static std::string ToHostPath(std::string_view windowsPath);
    // The Windows path of a host path: under the mapped drive with the
    // longest matching host folder. Empty when no drive holds it.
    static std::string ToWindowsPath(std::string_view hostPath);

    // How a Windows path begins (double-byte aware).
    struct Root {
        enum Kind { None, Drive, DriveRelative, Share, Rooted } kind = None;
        char letter = 0;      // Drive, DriveRelative
        std::string server;   // Share
        std::string share;    // Share (may be empty: "\\server" alone)
        size_t rootEnd = 0;   // end of the root text: "C:\" 3, "C:" 2, "\\srv\share" its length, "\" 1
        size_t skip = 0;      // start of what follows the root and its separator; npos when no root
    };
    static Root ParseRoot(std::string_view path);

    // The drive type of a root ("C:\", "C:", "\\srv\share\"): the mapped type,
    // DRIVE_REMOTE for a mapped share, DRIVE_NO_ROOT_DIR for anything else.
    static UINT DriveTypeOfRoot(std::string_view root);

private:
    Drive drives_[26];
    bool mapped_[26] = {};
    std::map<std::string, Share> shares_;  // key: lower-case "server\share"

    std::string HostPathOf(std::string_view fullPath) const;
    std::string WindowsPathOf(std::string_view hostPath) const;
};
