#include "suite/ClSysUser.h"

#include <cstring>

#include "suite/SuiteStore.h"

ClSysUser::ClSysUser() = default;
ClSysUser::~ClSysUser() = default;

long ClSysUser::GetCurUserID(LPSTR pszUserID)
{
    if (!pszUserID) return SUITE_ERR_PARAM;
    pszUserID[0] = '\0';
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!store) return SUITE_ERR_NOSTORE;
    suite::Statement st = store->Prepare("SELECT user_id FROM selection WHERE id = 1");
    long rc = st.Step();
    if (rc == SUITE_EOD) return SUITE_ERR_NOUSER;
    if (rc != SUITE_OK) return SUITE_ERR_STORE;
    std::string id = st.Text(0);
    if (id.size() > SUITE_USERID_SIZE - 1) id.resize(SUITE_USERID_SIZE - 1);
    std::memcpy(pszUserID, id.c_str(), id.size() + 1);
    return SUITE_OK;
}

long ClSysUser::GetSelectedNo(LPCSTR pszUserID, long* pSelectedNo, long* pDataNo)
{
    if (!pszUserID || !pSelectedNo || !pDataNo) return SUITE_ERR_PARAM;
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!store) return SUITE_ERR_NOSTORE;
    suite::Statement st = store->Prepare("SELECT selected_no, data_no FROM selection WHERE id = 1 AND user_id = ?1");
    st.BindText(1, pszUserID);
    long rc = st.Step();
    if (rc == SUITE_EOD) return SUITE_ERR_NOUSER;
    if (rc != SUITE_OK) return SUITE_ERR_STORE;
    *pSelectedNo = static_cast<long>(st.Int(0));
    *pDataNo = st.IsNull(1) ? 0 : static_cast<long>(st.Int(1));
    return SUITE_OK;
}
