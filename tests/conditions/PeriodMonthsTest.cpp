#include "conditions/ShukeiJokenDlg.h"

#include <gtest/gtest.h>

namespace {

TEST(PeriodMonths, FirstAndLastMonthOfThePeriod)
{
    short first = 0, last = 0;
    CShukeiJokenDlg::GetPeriodMonths(20230401, 20240331, &first, &last);
    EXPECT_EQ(first, 4);
    EXPECT_EQ(last, 103);
    CShukeiJokenDlg::GetPeriodMonths(20230101, 20231231, &first, &last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 12);
    // Closing on the 20th: the first 月度 ends in April.
    CShukeiJokenDlg::GetPeriodMonths(20240321, 20250320, &first, nullptr);
    EXPECT_EQ(first, 4);
}

}  // namespace
