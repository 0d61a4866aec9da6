#include "suite/ClAccConnect.h"

#include <memory>
#include <string_view>

#include "suite/ClMsgMgr.h"
#include "suite/ClSetMgr.h"
#include "suite/SuiteStore.h"
#include "win32/Mbcs.h"

namespace {

const char kToken[] = "ES_APRPACKAGENAME";

void TellUser(const std::string& cp932Text)
{
    ClMsgMgr::ShowMessage(nullptr, cp932Text, nullptr, MB_OK | MB_ICONEXCLAMATION, true);
}

}  // namespace

ClAccConnect* ClAccConnect::Inst()
{
    static ClAccConnect connection;
    return &connection;
}

ClAccConnect::~ClAccConnect() = default;

void ClAccConnect::SetAppType(ClSysEnvMgr::_AppType type) { m_nAppType = static_cast<int>(type); }

void ClAccConnect::SetUseDataType(int type) { m_nUseDataType = type; }

long ClAccConnect::Initiate()
{
    if (m_bInitiated) return SUITE_OK;
    if (!ClSysEnvMgr::IsKnownAppType(m_nAppType)) {
        TellUser("会計システムに接続できません。\nアプリケーションの種類(" + std::to_string(m_nAppType) +
                 ")が正しくありません。");
        return SUITE_ERR_PARAM;
    }
    auto store = std::make_unique<suite::SuiteStore>();
    std::string why;
    if (store->Open(suite::SuiteStore::DefaultPath(), &why) != SUITE_OK) {
        TellUser("会計データベースを開けません。\n" + mbcs::Utf8ToCp932(why));
        return SUITE_ERR_NOSTORE;
    }
    suite::SuiteStore::SetCurrent(std::move(store));
    m_bInitiated = true;
    return SUITE_OK;
}

long ClAccConnect::ExpSysLink()
{
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!m_bInitiated || !store) {
        TellUser("会計システムに接続されていません。");
        return 2;
    }
    suite::Statement st = store->Prepare(
        "SELECT s.user_id, d.data_no FROM selection AS s "
        "LEFT JOIN users AS u ON u.user_id = s.user_id "
        "LEFT JOIN datasets AS d ON d.data_no = s.data_no WHERE s.id = 1 AND u.user_id IS NOT NULL");
    long rc = st.Step();
    if (rc != SUITE_OK && rc != SUITE_EOD) {
        TellUser("会計データベースの読み込みに失敗しました。\n" +
                 mbcs::Utf8ToCp932(st.Valid() ? st.ErrorText() : store->LastError()));
        return 2;
    }
    if (rc == SUITE_EOD) {
        TellUser("利用者が選択されていません。\n会計システムで利用者とデータを選択してから実行してください。");
        return 1;
    }
    if (st.IsNull(1)) {
        TellUser("会計データが選択されていません。\n会計システムでデータを選択してから実行してください。");
        return 1;
    }
    m_bLinked = true;
    return 0;
}

const char* ClAccConnect::PackageName() { return "消費税のOrlanzen"; }

std::string ClAccConnect::ExpandTokens(const std::string& text)
{
    const std::string_view token(kToken);
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (std::string_view(text).substr(i, token.size()) == token) {
            out += PackageName();
            i += token.size();
            continue;
        }
        size_t n = mbcs::CharLen(text, i);
        out.append(text, i, n);
        i += n;
    }
    return out;
}

UINT ClAccConnect::DispMsg(HWND hOwner, LPCSTR pszText, LPCSTR pszCaption, UINT nFlags)
{
    std::string text = ExpandTokens(pszText ? pszText : "");
    return static_cast<UINT>(ClMsgMgr::ShowMessage(hOwner, text, pszCaption, nFlags, false));
}

long ClAccConnect::LogOut()
{
    m_bLinked = false;
    return SUITE_OK;
}

long ClAccConnect::Terminate()
{
    m_bLinked = false;
    ClSetMgr::Inst()->ClearCurData();
    if (m_bInitiated || suite::SuiteStore::Current()) suite::SuiteStore::SetCurrent(nullptr);
    m_bInitiated = false;
    return SUITE_OK;
}

long ClAccConnect::Release()
{
    Terminate();
    m_pszCaption = nullptr;
    m_hOwnerWnd = nullptr;
    m_nAppType = 0;
    m_nUseDataType = 0;
    return SUITE_OK;
}
