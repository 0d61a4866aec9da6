// Where the save box opens and which name it offers, for the folder and the
// file name the program gives it. The box opens in the folder of the path
// when it exists; a folder that does not exist yet (a new home has no output
// folder until the first export makes it) opens at its nearest existing
// parent on the same drive, else at the drive's root. A drive or share with
// no existing root at all opens at C:'s root. A path without a folder is one
// in the current directory, and opens there. Nothing here needs a display.
#pragma once

#include <string>

namespace ui {

class SaveBoxStart {
public:
    // `initialDir` and `fileName` as the program gave them (code page 932);
    // a folder in the file name takes the place of the initial folder.
    static SaveBoxStart For(const std::string& initialDir, const std::string& fileName);

    std::string windowsDir;  // the folder opened, a Windows path ending in a separator; empty: none exists
    std::string hostDir;     // the same on the host; empty: none exists
    std::string name;        // the file name part of the box's file (code page 932), wildcards kept
};

}  // namespace ui
