// Everything configurable about the platform layer and the suite stand-in.
// Values come from environment variables with the prefix ZELKOR_ and, for those
// not set there, from the file "zelkor.conf" in the suite home (lines of
// NAME=value, '#' starts a comment). The program's own code reads none of this.
#pragma once

#include <string>

class PlatformConfig {
public:
    // The configuration of this process, read on first use.
    static const PlatformConfig& Get();
    // Reads the environment and the config file again (tests change them).
    static void Reload();

    std::string suiteHome;       // ZELKOR_HOME: host folder of the suite's store and folders; default $HOME/.zelkor
    std::string backend;         // ZELKOR_BACKEND: "script" (default) or "fltk"
    std::string scriptPath;      // ZELKOR_SCRIPT: script of user actions for the script backend (host path)
    std::string transcriptPath;  // ZELKOR_TRANSCRIPT: transcript file (host path); empty: standard output
    std::string callerDir;       // ZELKOR_CALLER_DIR: folder of caller endpoints; default <home>/callers
    std::string drives;          // ZELKOR_DRIVES: the drive map, see DriveMap
    std::string shares;          // ZELKOR_SHARES: share paths, see DriveMap

    // The value of a setting by its name without the prefix ("HOME", "BACKEND",
    // ...): the environment first, then the config file, else `fallback`.
    static std::string Lookup(const std::string& name, const std::string& fallback);
};
