#include "suite/ClMsgMgr.h"

#include <cstdio>

#include "suite/ClAccConnect.h"
#include "suite/SuiteStore.h"
#include "win32/Mbcs.h"
#include "win32/User.h"

namespace {

std::string& LastText()
{
    static std::string text;
    return text;
}

std::string& LastCaption()
{
    static std::string caption;
    return caption;
}

}  // namespace

ClMsgMgr* ClMsgMgr::Inst()
{
    static ClMsgMgr mgr;
    return &mgr;
}

long ClMsgMgr::SetLastError(long status, LPCSTR pszSource, long nLine)
{
    m_lStatus = status;
    m_strSource = pszSource ? pszSource : "";
    m_nLine = nLine;
    return status;
}

std::string ClMsgMgr::StatusText(long status)
{
    switch (status) {
    case SUITE_OK: return "正常に終了しました。";
    case SUITE_EOD: return "データの終わりです。";
    case SUITE_ERR_NOSTORE: return "会計データベースに接続されていません。";
    case SUITE_ERR_STORE: return "会計データベースの読み込みに失敗しました。";
    case SUITE_ERR_PARAM: return "ライブラリの呼び出しに誤りがあります。";
    case SUITE_ERR_NODATA: return "対象のデータが見つかりません。";
    case SUITE_ERR_NOTSAVED: return "消費税申告書の情報が保存されていません。";
    case SUITE_ERR_CURSOR: return "データの読み込み位置が正しくありません。";
    case SUITE_ERR_NOUSER: return "利用者またはデータが選択されていません。";
    case SUITE_ERR_NOMEMORY: return "メモリが不足しています。";
    case -1001: return "処理に必要なオブジェクトを作成できませんでした。";
    default: return "処理中にエラーが発生しました。";
    }
}

long ClMsgMgr::CheckFatalErrorWithMsg(long status, long nMsgId, long nMode, HWND hOwner)
{
    (void)nMsgId;
    if (status == SUITE_OK || status == SUITE_EOD) return 0;
    if (nMode != 0) {
        char detail[160];
        if (status == m_lStatus && !m_strSource.empty()) {
            std::snprintf(detail, sizeof detail, "\n\n(エラーコード: %ld  発生箇所: %s %ld)", status,
                          m_strSource.c_str(), m_nLine);
        } else {
            std::snprintf(detail, sizeof detail, "\n\n(エラーコード: %ld)", status);
        }
        std::string text = StatusText(status);
        // A store error names the store's file; SQLite's reason goes to
        // standard error only.
        const suite::SuiteStore* store = suite::SuiteStore::Current();
        if ((status == SUITE_ERR_STORE || status == SUITE_ERR_NOSTORE) && store && !store->Path().empty()) {
            // A file the host refused (a journal left by another user, say) is
            // a matter of permissions, not of damage.
            text += "\n会計データベースのファイル: " + mbcs::Utf8ToCp932(store->Path()) +
                    (store->FailureNow() == suite::StoreProblem::CannotOpen
                         ? "\nファイルとそのフォルダのアクセス権を確認してください。"
                         : "\nファイルが壊れていないか、ほかのプログラムが変更していないか確認してください。");
            if (!store->LastError().empty())
                std::fprintf(stderr, "zelkor: the store %s: %s\n", store->Path().c_str(), store->LastError().c_str());
        }
        ShowMessage(hOwner, text + detail, nullptr, MB_OK | MB_ICONEXCLAMATION, true);
    }
    return 1;
}

int ClMsgMgr::ShowMessage(HWND hOwner, const std::string& text, LPCSTR pszCaption, UINT flags, bool bError)
{
    ClAccConnect* conn = ClAccConnect::Inst();
    const char* caption = pszCaption ? pszCaption : conn->m_pszCaption ? conn->m_pszCaption : "会計";
    HWND owner = hOwner ? hOwner : conn->m_hOwnerWnd;
    LastText() = text;
    LastCaption() = caption;
    if (bError) {
        std::fprintf(stderr, "%s: %s\n", mbcs::Cp932ToUtf8(caption).c_str(), mbcs::Cp932ToUtf8(text).c_str());
    }
    return MessageBoxA(owner, text.c_str(), caption, flags);
}

const std::string& ClMsgMgr::LastShownText() { return LastText(); }
const std::string& ClMsgMgr::LastShownCaption() { return LastCaption(); }
