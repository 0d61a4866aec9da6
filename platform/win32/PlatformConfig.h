// Everything configurable about the platform layer and the suite stand-in.
// Values come from environment variables with the prefix ZELKOR_ and, for those
// not set there, from the file "zelkor.conf" in the suite home (lines of
// NAME=value; blanks around the name and the value are dropped; a line whose
// first character other than a blank is '#' is a comment, a '#' elsewhere
// belongs to the value). The program's own code reads none of this.
//
// Host paths of the configuration (the suite home, the store, the script, the
// transcript, the caller folder) are made absolute once, when the
// configuration is read, because the program moves into its own folder early
// in its run and a relative path would then point elsewhere. A relative path
// from the environment is taken from the folder the process was started in
// (recorded once, before main), one from the config file from the suite home
// that holds it; `.` and `..` are resolved by the text. (The drive map's
// relative folders are taken from the suite home, see DriveMap.)
#pragma once

#include <string>

class PlatformConfig {
public:
    // The configuration of this process, read on first use.
    static const PlatformConfig& Get();
    // Reads the environment and the config file again (tests change them).
    // Relative paths are still taken from the start folder.
    static void Reload();

    std::string suiteHome;       // ZELKOR_HOME: host folder of the suite's store and folders; default $HOME/.zelkor
    std::string storePath;       // ZELKOR_STORE: host path of the suite's store; default <home>/suite.db
    std::string backend;         // ZELKOR_BACKEND: "script" (default) or "fltk"
    std::string scriptPath;      // ZELKOR_SCRIPT: script of user actions for the script backend (host path)
    std::string transcriptPath;  // ZELKOR_TRANSCRIPT: transcript file (host path); empty: standard output
    std::string callerDir;       // ZELKOR_CALLER_DIR: folder of caller endpoints; default <home>/callers
    std::string drives;          // ZELKOR_DRIVES: the drive map, see DriveMap
    std::string shares;          // ZELKOR_SHARES: share paths, see DriveMap
    // Why a relative path of the environment names nothing (UTF-8, for
    // standard error): the folder the process started in was gone or could
    // not be told. Empty when every path was made absolute. Such a path is
    // left empty rather than taken from another folder; the suite home's
    // defaults (store, caller folder) are then empty as well.
    std::string unresolved;

    // The value of a setting by its name without the prefix ("BACKEND",
    // "FLTK_IDLE_LIMIT", ...): the environment first, then the config file of
    // the configured suite home, else `fallback`.
    static std::string Lookup(const std::string& name, const std::string& fallback);

    // The host folder the process was started in (absolute; empty when the
    // host could not tell, as when the folder had been removed).
    static const std::string& StartFolder();
    // The host's working folder now (absolute; "/" when the host cannot tell).
    static std::string HostWorkingFolder();
    // `path` as an absolute host path: a relative one joined to StartFolder(),
    // then `.`, `..`, doubled and trailing slashes resolved by the text. Empty
    // stays empty, and so does a relative path while StartFolder() is empty.
    static std::string Absolute(const std::string& path);
};
