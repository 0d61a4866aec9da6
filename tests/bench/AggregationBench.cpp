// Benchmark of the aggregation passes over the selected dataset of a suite
// home (see scripts/gen-large-store.sh and scripts/bench.sh): the journal
// checks, the tax summation, the refund-statement passes of the dataset's kind,
// and for comparison one bare walk of the journal through the rule object. It
// makes the calls the export run makes in the aggregation mode, in the same
// order and with the same month range (the whole period), and prints the wall
// time of each and the process's peak memory. Not a test: it asserts nothing
// beyond the calls' own statuses.
//
//   ZELKOR_HOME=<home> ZELKOR_BACKEND=script zk_bench_aggregation
#include "aggregation/AddTaxDlg.h"
#include "app/ShohizeiLinkApp.h"
#include "suite/ClAccConnect.h"
#include "suite/ClDataMgr.h"
#include "suite/ClLinkMgr.h"
#include "suite/ClRuleShiwake.h"
#include "suite/ClSetData.h"
#include "suite/ClSetShohizei.h"
#include "suite/FindInfo.h"
#include "suite/SuiteRecords.h"
#include "ui/Backends.h"

#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

double Now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

long PeakKilobytes()
{
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

struct Phase {
    const char* name;
    double seconds;
};
std::vector<Phase> g_phases;

template <class F> auto Timed(const char* name, F&& f)
{
    const double t0 = Now();
    auto result = f();
    g_phases.push_back({name, Now() - t0});
    return result;
}

int Fail(const char* what, long status)
{
    std::fprintf(stderr, "zk_bench_aggregation: %s failed (%ld)\n", what, status);
    return 1;
}

}  // namespace

int main()
{
    ui::Backends::Start();
    const double start = Now();
    ClAccConnect* conn = ClAccConnect::Inst();
    conn->SetAppType(ClSysEnvMgr::APPTYPE_STANDARD);
    conn->SetUseDataType(3);
    if (long s = conn->Initiate()) return Fail("Initiate", s);
    if (long s = conn->ExpSysLink()) return Fail("ExpSysLink", s);

    StDATAINFO data;
    std::memset(&data, 0, sizeof data);
    if (!theApp.GetSelectedDataInfo(&data)) return Fail("GetSelectedDataInfo", 0);
    StSHOHIZEIINFO settings;
    std::memset(&settings, 0, sizeof settings);
    theApp.GetShohizeiInfo(&settings, &data);
    // The whole period, as the conditions dialog offers it: the 月度 of the
    // period's first and last month (the generated stores close at month end).
    const short startMonth = static_cast<short>(data.lPeriodFrom / 100 % 100);
    const short endMonth = static_cast<short>(data.lPeriodTo / 100 % 100);
    const bool corporation = data.byOrgKind == 0 || data.byOrgKind == 1;

    CAddTaxDlg dlg;
    if (!dlg.Create(CAddTaxDlg::IDD)) return Fail("progress dialog", 0);
    dlg.m_nKazeiKubun = settings.byKazeiKubun;
    std::memset(dlg.m_findInfo, 0, sizeof dlg.m_findInfo);
    theApp.BuildShukeiJoken(dlg.m_findInfo, &data, startMonth, endMonth);
    const int rates = static_cast<short>(theApp.m_pSetShohizei ? theApp.m_pSetShohizei->GetTaxRateCount() : 5);
    const double ready = Now();

    int32_t count = 0, found = 0;
    Timed("check business kinds", [&] { return dlg.CheckJigyoBunruiShiwake(6, &count); });
    Timed("check undetermined imports", [&] { return static_cast<long>(dlg.HasMiteiYunyuShiwake()); });
    Timed("check old rates", [&] { return dlg.CheckZeiRateShiwake(&found, 0); });

    std::vector<StTAXREPORTRATEINFO> rateInfo(3 * rates);
    std::vector<StTAXREPORTBUSINESSTYPEINFO> kindInfo(6 * rates);
    std::memset(rateInfo.data(), 0, rateInfo.size() * sizeof rateInfo[0]);
    std::memset(kindInfo.data(), 0, kindInfo.size() * sizeof kindInfo[0]);
    const int summed =
        Timed("tax summation", [&] { return dlg.SumTaxShinkoku(rateInfo.data(), kindInfo.data(), 1000); });
    if (summed != 1) return Fail("SumTaxShinkoku", summed);

    AccumBlock a[8];
    __int64 kotei = 0, kurinobe = 0;
    const int refund = corporation
                           ? Timed("refund statement (corporation)",
                                   [&] {
                                       return dlg.SumKanpuHojin(&a[0], &a[1], &a[2], &a[3], &kotei, &kurinobe, &data,
                                                                &settings);
                                   })
                           : Timed("refund statement (individual)", [&] {
                                 return dlg.SumKanpuKojin(&a[0], &a[1], &a[2], &a[3], &a[4], &a[5], &a[6], &a[7],
                                                          &data, &settings);
                             });
    const double aggregated = Now();

    // For comparison: one walk of the range's entries through the rule object.
    long long entries = 0, sum = 0;
    Timed("bare journal walk (rule object)", [&] {
        ClRuleShiwake rule;
        rule.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
        rule.SetCurDataID(&data);
        rule.AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
        StSWKTINFO e;
        long status = rule.MoveReady(dlg.m_findInfo, nullptr, nullptr, SWKCURSOR_FORWARD);
        while (status == SUITE_OK && (status = rule.MoveNext(&e)) == SUITE_OK) {
            ++entries;
            sum += e.kari.llKingaku;
        }
        rule.MoveFinish();
        return status;
    });

    std::printf("dataset            %s (%s), months %d to %d\n", data.byOrgKind <= 1 ? "corporation" : "individual",
                corporation ? "refund statement of a corporation" : "refund statement of an individual", startMonth,
                endMonth);
    for (const Phase& p : g_phases) std::printf("%-34s %8.3f s\n", p.name, p.seconds);
    std::printf("%-34s %8.3f s\n", "connection and dataset", ready - start);
    std::printf("%-34s %8.3f s\n", "aggregation passes in all", aggregated - ready);
    std::printf("%-34s %8lld\n", "entries walked", entries);
    std::printf("%-34s %8d\n", "refund pass result", refund);
    std::printf("%-34s %8ld kB\n", "peak resident memory", PeakKilobytes());
    std::printf("sales 10 %% (raw)                   %lld\n", static_cast<long long>(rateInfo[0].llKazeiUriageNuki));
    std::fflush(stdout);

    dlg.DestroyWindow();
    conn->LogOut();
    conn->Terminate();
    conn->Release();
    return 0;
}
