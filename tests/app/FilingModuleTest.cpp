#include "app/FilingModule.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    long nStart;
    long nEnd;
    int nKind;
    const char* pszModule;
    int nRate;
};

void ExpectChoice(const Case& c)
{
    const char* module = SelectFilingModule(c.nStart, c.nEnd, c.nKind);
    ASSERT_NE(module, nullptr);
    EXPECT_STREQ(module, c.pszModule) << c.nStart << "-" << c.nEnd << " kind " << c.nKind;
    EXPECT_EQ(LookupFilingModuleRate(module), c.nRate) << module;
}

TEST(FilingModule, RecentRatesByEndDate)
{
    for (int kind : {1, 2}) {
        ExpectChoice({20221001, 20231001, kind, "SZEI-2310.exe", 1000});
        ExpectChoice({20221001, 20230930, kind, "SZEI-2004.exe", 1000});
        ExpectChoice({20190401, 20200401, kind, "SZEI-2004.exe", 1000});
        ExpectChoice({20190401, 20200331, kind, "SZEI-1910.exe", 1000});
        ExpectChoice({20190101, 20191001, kind, "SZEI-1910.exe", 1000});
    }
}

TEST(FilingModule, ExemptAlwaysTakesTheNewestModule)
{
    ExpectChoice({19970401, 19980331, 0, "SZEI-2310.exe", 1000});
    ExpectChoice({20140101, 20141231, 0, "SZEI-2310.exe", 1000});
    ExpectChoice({0, 0, 0, "SZEI-2310.exe", 1000});
}

TEST(FilingModule, SimplifiedDecidesByStartOthersByEnd)
{
    ExpectChoice({20150401, 20160331, 1, "SZEI-1504.exe", 800});
    ExpectChoice({20150401, 20160331, 2, "SZEI-1510.exe", 800});
    ExpectChoice({20160101, 20161231, 1, "SZEI-1510.exe", 800});
    ExpectChoice({20151231, 20161231, 1, "SZEI-1504.exe", 800});
    ExpectChoice({20150101, 20151231, 1, "SZEI-1404.exe", 800});
    ExpectChoice({20150101, 20151231, 2, "SZEI-1510.exe", 800});
    ExpectChoice({20150401, 20150930, 2, "SZEI-1504.exe", 800});
    ExpectChoice({20150331, 20150930, 2, "SZEI-1404.exe", 800});
    // An unknown taxation kind follows the standard rule.
    ExpectChoice({20150401, 20160331, 7, "SZEI-1510.exe", 800});
}

TEST(FilingModule, OldestRates)
{
    ExpectChoice({20140101, 20141231, 2, "SZEI-1404.exe", 800});
    ExpectChoice({20140101, 20140401, 1, "SZEI-1404.exe", 800});
    ExpectChoice({20130401, 20140331, 2, "SZEI-9704.exe", 500});
    ExpectChoice({20130401, 20140331, 1, "SZEI-9704.exe", 500});
    // Signed comparison: a negative date is simply old.
    ExpectChoice({-1, -1, 2, "SZEI-9704.exe", 500});
}

TEST(FilingModule, LookupComparesWholeNames)
{
    EXPECT_EQ(LookupFilingModuleRate("SZEI-1504.exe"), 800);
    EXPECT_EQ(LookupFilingModuleRate(std::string("SZEI-9704.exe").c_str()), 500);
    EXPECT_EQ(LookupFilingModuleRate("SZEI-9704.EXE"), 0);
    EXPECT_EQ(LookupFilingModuleRate("SZEI-9704"), 0);
    EXPECT_EQ(LookupFilingModuleRate("SZEI-9704.exe "), 0);
    EXPECT_EQ(LookupFilingModuleRate(""), 0);
    EXPECT_EQ(LookupFilingModuleRate(nullptr), 0);
    EXPECT_EQ(LookupFilingModuleRate("消費税"), 0);
}

}  // namespace
