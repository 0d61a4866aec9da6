// The export run inside the test process: a fresh suite home with a caller
// folder, a transcript and the filing application's level file next to the
// program, and one call of InitInstance and ExitInstance over the script
// backend, as the framework makes them. Tests derive their application from
// CShohizeiLinkApp with stages of their own and read the transcript after.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mfc/Afx.h"

class CShohizeiLinkApp;

class InProcessRun : public ::testing::Test {
protected:
    // The home (ZELKOR_HOME, still without a store), the caller endpoints and
    // the transcript inside it, no drive map, the wait cursor off.
    void SetUp() override;
    void TearDown() override;

    // Starts the script backend with `script` (none: no script at all), runs
    // `app` with the program path "C:\prog\Zelkora" and `commandLine`, stops
    // the backend and keeps its transcript. InitInstance's result.
    BOOL Run(CShohizeiLinkApp& app, const char* commandLine, const char* script = nullptr);

    // The transcript's lines that start with `prefix`.
    std::vector<std::string> Lines(const std::string& prefix) const;
    // The message lines whose text starts with `cp932`.
    std::vector<std::string> Messages(const char* cp932) const;
    // Whether a message showed exactly the text `cp932`.
    bool Shown(const char* cp932) const;
    // What a recorded caller receives from a run that ends with `result`.
    static std::vector<std::string> Notified(int result);

    std::string home;
    std::string transcript;
};
