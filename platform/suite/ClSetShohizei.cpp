#include "suite/ClSetShohizei.h"

#include <cstring>

#include "suite/SuiteStore.h"

ClSetShohizei::ClSetShohizei() = default;
ClSetShohizei::~ClSetShohizei() = default;

long ClSetShohizei::Get(StSHOHIZEIINFO* pInfo)
{
    if (!pInfo) return SUITE_ERR_PARAM;
    long long no = 0;
    long rc = CurDataNo(&no);
    if (rc != SUITE_OK) return rc;
    suite::Statement st = suite::SuiteStore::Current()->Prepare(
        "SELECT taxation_kind, rounding_mode, deduction_method, main_business, tax_included, "
        "sum_option, sum_value FROM tax_settings WHERE data_no = ?1");
    st.Bind(1, no);
    rc = st.Step();
    if (rc == SUITE_EOD) return SUITE_ERR_NODATA;
    if (rc != SUITE_OK) return SUITE_ERR_STORE;
    StSHOHIZEIINFO info;
    std::memset(&info, 0, sizeof info);
    info.byKazeiKubun = static_cast<uint8_t>(st.Int(0));
    info.byHasuMode = static_cast<uint8_t>(st.Int(1));
    info.byKojoHoushiki = static_cast<uint8_t>(st.Int(2));
    info.byJigyoKubun = static_cast<uint8_t>(st.Int(3));
    info.byZeikomi = static_cast<uint8_t>(st.Int(4));
    info.bySumOption = static_cast<uint8_t>(st.Int(5));
    info.lSumValue = static_cast<int32_t>(st.Int(6));
    std::memcpy(pInfo, &info, sizeof info);
    return SUITE_OK;
}

int ClSetShohizei::GetTaxRateCount()
{
    long long no = 0;
    if (CurDataNo(&no) != SUITE_OK) return 0;
    suite::Statement st =
        suite::SuiteStore::Current()->Prepare("SELECT tax_rate_count FROM tax_settings WHERE data_no = ?1");
    st.Bind(1, no);
    return st.Step() == SUITE_OK ? static_cast<int>(st.Int(0)) : 0;
}
