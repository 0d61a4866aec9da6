#include "suite/ClSaveTaxShiryo.h"

#include <cstring>

#include "suite/SuiteStore.h"

ClSaveTaxShiryo::ClSaveTaxShiryo() = default;
ClSaveTaxShiryo::~ClSaveTaxShiryo() = default;

long ClSaveTaxShiryo::RefreshCache()
{
    m_bCached = false;
    m_cache.clear();
    long long no = 0;
    long rc = CurDataNo(&no);
    if (rc != SUITE_OK) return rc;
    suite::Statement st = suite::SuiteStore::Current()->Prepare("SELECT info FROM saved_tax WHERE data_no = ?1");
    st.Bind(1, no);
    rc = st.Step();
    if (rc != SUITE_OK && rc != SUITE_EOD) return SUITE_ERR_STORE;
    m_bCached = true;
    if (rc == SUITE_EOD) return SUITE_ERR_NOTSAVED;
    // A record of another size is no saved record of this format.
    if (st.BlobSize(0) != SUITE_SAVETAXINFO_SIZE) {
        m_bCached = false;
        return SUITE_ERR_STORE;
    }
    m_cache.resize(SUITE_SAVETAXINFO_SIZE);
    st.Blob(0, m_cache.data(), m_cache.size());
    return SUITE_OK;
}

long ClSaveTaxShiryo::GetTaxSaveInfo(LPVOID pBuffer)
{
    if (!pBuffer) return SUITE_ERR_PARAM;
    if (!m_bCached) {
        long rc = RefreshCache();
        if (rc != SUITE_OK) return rc;
    }
    if (m_cache.empty()) return SUITE_ERR_NOTSAVED;
    std::memcpy(pBuffer, m_cache.data(), m_cache.size());
    return SUITE_OK;
}
