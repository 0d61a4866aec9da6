#include "suite/ClAccConnect.h"

#include <cstdio>
#include <memory>
#include <string_view>

#include "suite/ClMsgMgr.h"
#include "suite/ClSetMgr.h"
#include "suite/SuiteStore.h"
#include "win32/Kernel.h"
#include "win32/Mbcs.h"

namespace {

const char kToken[] = "ES_APRPACKAGENAME";

void TellUser(const std::string& cp932Text)
{
    ClMsgMgr::ShowMessage(nullptr, cp932Text, nullptr, MB_OK | MB_ICONEXCLAMATION, true);
}

// The technical reason behind a message, for whoever looks after the
// installation; the message box says it in the user's words.
void TellLog(const std::string& utf8Reason)
{
    std::fprintf(stderr, "zelkor: %s\n", utf8Reason.c_str());
}

// The line of a message that names the store's file.
std::string StoreFileLine(const std::string& hostPath)
{
    return "会計データベースのファイル: " + mbcs::Utf8ToCp932(hostPath);
}

// What a user can do about a store that cannot be opened. The stand-in's
// stores are made by scripts/make-home.sh; ZELKOR_HOME and ZELKOR_STORE say
// where the program looks.
std::string StoreAdvice(suite::StoreProblem problem)
{
    switch (problem) {
    case suite::StoreProblem::NoPath:
        return "会計データベースの場所が設定されていません。\n"
               "環境変数 ZELKOR_HOME (または ZELKOR_STORE) で会計データベースの場所を設定してください。";
    case suite::StoreProblem::Unresolved:
        return "会計データのフォルダ(スイートホーム)の場所を決められません。\n"
               "環境変数 ZELKOR_HOME (または ZELKOR_STORE) は相対パスですが、プログラムを起動したフォルダが"
               "もうありません。\n絶対パスで指定するか、存在するフォルダから起動してください。";
    case suite::StoreProblem::NoAccess:
        return "このファイルを読み込めません。このファイルに至るフォルダを開く権限がありません。\n"
               "フォルダのアクセス権を確認してください。";
    case suite::StoreProblem::Missing:
        return "このファイルがありません。\n"
               "会計データのフォルダ(スイートホーム)を scripts/make-home.sh で作成するか、"
               "環境変数 ZELKOR_HOME (または ZELKOR_STORE) で既存の会計データベースを指定してください。";
    case suite::StoreProblem::CannotOpen:
        return "このファイルを読み書きできません。\n"
               "ファイルとそのフォルダのアクセス権を確認してください。";
    case suite::StoreProblem::Locked:
        return "ほかのプログラムがこの会計データベースを使用中です。\n"
               "そのプログラムを終了してから、もう一度実行してください。";
    case suite::StoreProblem::OtherVersion:
        return "このファイルは形式の異なる会計データベースです。\n"
               "scripts/make-home.sh で作成した会計データベースを指定してください。";
    case suite::StoreProblem::NotAStore:
    case suite::StoreProblem::Unreadable:
    case suite::StoreProblem::None:
        break;
    }
    return "このファイルは会計データベースではないか、壊れています。\n"
           "バックアップから戻すか、scripts/make-home.sh --force で会計データのフォルダ(スイートホーム)を"
           "作り直してください。";
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
    const std::string path = suite::SuiteStore::DefaultPath();
    if (store->Open(path, &why) != SUITE_OK) {
        TellLog(why);
        std::string text = "会計データベースを開けません。\n";
        if (!path.empty()) text += StoreFileLine(path) + "\n\n";
        TellUser(text + StoreAdvice(store->Problem()));
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
    const std::string fileLine = StoreFileLine(store->Path());
    if (rc != SUITE_OK && rc != SUITE_EOD) {
        TellLog("the store " + store->Path() +
                " cannot be read: " + (st.Valid() ? st.ErrorText() : store->LastError()));
        // Only what is neither locked nor refused by the host may be damage.
        const suite::StoreProblem problem = store->FailureNow();
        TellUser("会計データベースの読み込みに失敗しました。\n" + fileLine + "\n\n" +
                 (problem == suite::StoreProblem::Unreadable
                      ? std::string("会計データベースが壊れているか、形式が異なります。\n"
                                    "バックアップから戻すか、scripts/make-home.sh --force で会計データのフォルダ"
                                    "(スイートホーム)を作り直してください。")
                      : StoreAdvice(problem)));
        return 2;
    }
    // The stand-in has no screen to choose with: the selection is made when
    // the suite home is made.
    const char kHowToSelect[] = "\n\n利用者とデータは、scripts/make-home.sh の --user と --select で選択できます。";
    if (rc == SUITE_EOD) {
        TellUser("利用者が選択されていません。\n会計システムで利用者とデータを選択してから実行してください。\n\n" +
                 fileLine + kHowToSelect);
        return 1;
    }
    if (st.IsNull(1)) {
        TellUser("会計データが選択されていません。\n会計システムでデータを選択してから実行してください。\n\n" +
                 fileLine + kHowToSelect);
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
