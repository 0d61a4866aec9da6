// Amounts beyond the range of the totals, met in the middle of a refund-
// statement pass: the run ends with the overflow message and result 2, and
// the process still ends cleanly. In the sanitizer build the leak checker
// runs when the deliverable exits, so an object of the aborted pass that is
// never released (the accounting period, a rule object, a department
// cursor) turns the exit status non-zero and fills standard error.
#include "RunChecks.h"
#include "RunHarness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;

const char kOverflow[] = "金額が計算できる範囲を超えたため、消費税情報の出力を中止しました。";
const char kExport[] = "type 1008 C:\\out.xml\nkey F12\nanswer OK\n";

// The largest raw amount a store can hold: 2^63-1 ten-thousandths of a yen.
const char kLargest[] = "9223372036854775807";

std::string Asset(int dataNo, int date, int assetClass, int incomeClass)
{
    return "INSERT INTO fixed_assets (data_no, code, name, acq_date, asset_class, amount, income_class) VALUES (" +
           std::to_string(dataNo) + ", 999, 'x', " + std::to_string(date) + ", " + std::to_string(assetClass) +
           ", " + kLargest + ", " + std::to_string(incomeClass) + ");";
}

// An expense entry outside the tax summation (tax code 0 on the debit side,
// paid in cash), in department `dept`.
std::string Expense(int dataNo, int date, int account, int dept, const std::string& amount)
{
    return "INSERT INTO journal (data_no, entry_date, month_kind, dr_account, dr_dept, dr_amount, cr_account, "
           "cr_dept, cr_amount) VALUES (" +
           std::to_string(dataNo) + ", " + std::to_string(date) + ", 1, " + std::to_string(account) + ", " +
           std::to_string(dept) + ", " + amount + ", 1110, " + std::to_string(dept) + ", " + amount + ");";
}

TEST(OverflowCleanup, AnAmountBeyondTheTotalsEndsTheRunAndReleasesWhatThePassHeld)
{
    struct Case {
        const char* name;
        const char* sample;
        int dataset;
        std::string sql;
    };
    const Case cases[] = {
        // The sample's fixed asset of the same class makes the sum leave
        // the range.
        {"a corporation's fixed asset", "corp-general", 1, Asset(1, 20240701, 1, 1)},
        {"a corporation's deferred asset", "corp-general", 1, Asset(1, 20250121, 9, 1)},
        {"an individual's business asset", "indiv-general", 3, Asset(3, 20240601, 1, 1)},
        {"an individual's real-estate asset", "indiv-general", 3, Asset(3, 20240901, 1, 2)},
        // Beyond the amount type's range as a single summary: the account
        // pass of the first department gives up in the middle of the walk.
        {"an individual's account summary", "indiv-general", 3, Expense(3, 20240115, 6110, 10, kLargest)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunHarness h;
        h.BuildHome({c.sample}, c.dataset);
        h.ExecSql(c.sql);
        h.WriteScript(kExport);
        const CalledRun run = RunCalled(h);
        EXPECT_EQ(run.r.exitStatus, 0) << run.r.stderrText;
        EXPECT_EQ(run.r.stderrText.find("LeakSanitizer"), std::string::npos) << run.r.stderrText;
        EXPECT_EQ(Messages(run.r), std::vector<std::string>{Message("exclamation", "OK", "OK", kOverflow)})
            << Brief(run.r);
        EXPECT_EQ(run.caller, Notified(7, 2));
        EXPECT_FALSE(fs::exists(h.DriveC("out.xml")));
    }
}

}  // namespace
