// A host folder for one test, removed with everything in it afterwards.
#pragma once

#include "tests/support/TestTemp.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempFolder {
public:
    TempFolder()
    {
        path_ = testtemp::Make("zk_win32_");
    }
    ~TempFolder()
    {
        std::error_code ec;
        for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
            ::chmod(e.path().c_str(), 0755);
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

    void MakeDir(const std::string& rel) const { std::filesystem::create_directories(path_ + "/" + rel); }
    void WriteFile(const std::string& rel, const std::string& bytes) const
    {
        std::ofstream out(path_ + "/" + rel, std::ios::binary);
        out << bytes;
    }
    bool Exists(const std::string& rel) const { return std::filesystem::exists(path_ + "/" + rel); }

private:
    std::string path_;
};
