// The export run in process, over a suite home built from a sample, with
// stages of the test's own in place of the dialog and the export: the
// result codes of the endings, the caller's notification, the messages, and
// what an exception inside a stage leaves behind.
#include "app/ShohizeiLinkApp.h"

#include "suite/SuiteRecords.h"
#include "tests/suite/SuiteTestHome.h"
#include "tests/support/InProcessRun.h"
#include "tests/support/TestCaller.h"
#include "ui/Backends.h"
#include "ui/WaitCursor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const uint32_t kCaller = 654321;

enum class Stage { Cancel, Throw, ThrowAlloc, ThrowFile, Export, ThrowWhileWriting };

// A run whose conditions and export are the test's.
class StagedApp : public CShohizeiLinkApp {
public:
    explicit StagedApp(Stage stage) : m_stage(stage) {}
    std::vector<std::string> stagesRun;
    std::string outputHost;  // host path of the file the writing stage begins

protected:
    int RunConditionsDialog(const StDATAINFO* pDataInfo, int nUsable, ShukeiConditions* pConditions) override
    {
        stagesRun.push_back("conditions " + std::string(pDataInfo->szCompanyName) + " usable " +
                            std::to_string(nUsable) + " saved " + std::to_string(m_pSaveTaxInfo != nullptr));
        switch (m_stage) {
        case Stage::Cancel:
            m_nResultCode = RESULT_CANCELLED;
            return 0;
        case Stage::Throw:
            throw -1;
        case Stage::ThrowAlloc:
            throw std::bad_alloc();
        case Stage::ThrowFile:
            throw new CFileException(CFileException::diskFull, 112);
        default:
            break;
        }
        pConditions->nStartMonth = 4;
        pConditions->nEndMonth = 3;
        return TakeOutputPath("C:\\out\\data.xml", pConditions);
    }
    int RunAggregation(const StDATAINFO*, StSHOHIZEIINFO*, ShukeiConditions* pConditions) override
    {
        stagesRun.push_back("aggregation " + std::to_string(pConditions->nStartMonth));
        return 1;
    }
    int WriteReportFile(const StDATAINFO*, const StSHOHIZEIINFO*, const ShukeiConditions& conditions) override
    {
        stagesRun.push_back(std::string("write ") + conditions.szOutputPath);
        if (m_stage == Stage::ThrowWhileWriting) {
            fs::create_directories(fs::path(outputHost).parent_path());
            SetOutputInProgress(conditions.szOutputPath);
            CFile begun;
            begun.Open(conditions.szOutputPath, CFile::modeCreate | CFile::modeWrite);
            begun.Write("<?xml", 5);
            BeginRunWaitCursor();
            throw -1;
        }
        return 1;
    }

private:
    Stage m_stage;
};

class Pipeline : public InProcessRun {
protected:
    void SetUp() override
    {
        InProcessRun::SetUp();
        suitetest::BuildStore(home, {"corp-general"}, "INSERT INTO selection VALUES (1, 'admin', 1, 1)");
    }
};

TEST_F(Pipeline, CompletedExportRunsTheStagesInOrderAndNotifiesResult0)
{
    TestCaller caller(kCaller, 5, 5000);
    ASSERT_TRUE(caller.Ready());
    StagedApp app(Stage::Export);
    EXPECT_TRUE(Run(app, "654321,1024,7,"));
    EXPECT_EQ(app.m_nResultCode, RESULT_EXPORTED);
    const std::vector<std::string> expected = {"conditions " + std::string("株式会社サンプル商事") + " usable 1 saved 1",
                                               "aggregation 4", "write C:\\out\\data.xml"};
    EXPECT_EQ(app.stagesRun, expected);
    EXPECT_TRUE(Shown("消費税情報の出力が終了しました。\n\nアプリケーションを終了します。")) << transcript;
    EXPECT_EQ(app.m_pSaveTaxInfo, nullptr);
    EXPECT_EQ(caller.Finish(), Notified(0));
}

TEST_F(Pipeline, CancelledConditionsNotifyResult1AndShowNothing)
{
    TestCaller caller(kCaller, 5, 5000);
    ASSERT_TRUE(caller.Ready());
    StagedApp app(Stage::Cancel);
    EXPECT_FALSE(Run(app, "654321,1024,7,"));
    EXPECT_EQ(app.stagesRun.size(), 1u);
    EXPECT_EQ(transcript.find("message "), std::string::npos) << transcript;
    EXPECT_EQ(app.m_pSaveTaxInfo, nullptr);
    EXPECT_EQ(caller.Finish(), Notified(1));
}

TEST_F(Pipeline, ExceptionsInsideTheRunEndItWithResult2AndAMessage)
{
    struct Case {
        Stage stage;
        const char* text;
    };
    const Case cases[] = {
        {Stage::Throw, CShohizeiLinkApp::kMsgOverflow},
        {Stage::ThrowAlloc, CShohizeiLinkApp::kMsgNoMemory},
        {Stage::ThrowFile, CShohizeiLinkApp::kMsgUnexpected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ui::Backends::Start();
        TestCaller caller(kCaller, 5, 5000);
        ASSERT_TRUE(caller.Ready());
        StagedApp app(c.stage);
        EXPECT_FALSE(Run(app, "654321,1024,7,"));
        EXPECT_EQ(app.m_nResultCode, RESULT_ERROR);
        EXPECT_TRUE(Shown(c.text)) << transcript;
        EXPECT_EQ(app.m_pSaveTaxInfo, nullptr);
        EXPECT_EQ(caller.Finish(), Notified(2));  // enabled again and told
    }
}

TEST_F(Pipeline, OverflowWhileWritingRemovesTheIncompleteFile)
{
    TestCaller caller(kCaller, 5, 5000);
    ASSERT_TRUE(caller.Ready());
    WaitCursor::Reset();
    StagedApp app(Stage::ThrowWhileWriting);
    app.outputHost = home + "/drive_c/out/data.xml";
    EXPECT_FALSE(Run(app, "654321,1024,7,"));
    EXPECT_EQ(app.m_nResultCode, RESULT_ERROR);
    EXPECT_FALSE(fs::exists(app.outputHost));
    EXPECT_FALSE(WaitCursor::IsOn());
    EXPECT_TRUE(Shown(CShohizeiLinkApp::kMsgOverflow)) << transcript;
    EXPECT_FALSE(Shown("消費税情報の出力が終了しました。\n\nアプリケーションを終了します。"));
    EXPECT_EQ(caller.Finish(), Notified(2));
}

}  // namespace
