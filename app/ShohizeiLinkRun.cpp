// The export run: InitInstance performs one export from the connection
// set-up to the closing message; ExitInstance closes the connection and
// notifies the caller.
//
// Each stage of the run is one method. A stage returns 1 to go on, or 0 when
// the run ends there; it has then set m_nResultCode and told the user (or the
// suite has). Whatever way the run ends, the buffers of the run are released
// and ExitInstance follows, which enables and notifies a recorded caller.
//
// Endings the program decides itself, beyond the refusals of the checks:
// - no dataset record matches the user's selection: a message, result 2
//   (the run would otherwise export a company without name or period);
// - the conditions dialog cannot be shown, or ends with anything but 実行 or
//   キャンセル: a message, result 2;
// - an output path from the dialog longer than 260 bytes: a message,
//   result 2 (the path is never cut, which would name another file);
// - a pass of the aggregation that the library fails (a store that cannot be
//   read, a sum beyond its range): a message, result 2, nothing written,
//   since the figures would be exported short;
// - an amount beyond the range of the amount type (the integer -1 thrown by
//   ClKingaku), a lack of memory, or any other exception inside the run:
//   a message, result 2, the wait cursor ended, an output file the run had
//   begun is removed (it is incomplete), and M7 is not shown;
// - a termination signal (SIGTERM, SIGINT, SIGHUP) at any moment of the run:
//   EndRunOnSignal, as platform/README.md ("Termination signals") describes.
#include "app/ShohizeiLinkApp.h"

#include "aggregation/AddTaxDlg.h"

#include "res/Edition.h"
#include "app/FilingModule.h"
#include "conditions/ShukeiJokenDlg.h"
#include "res/ResourceIds.h"
#include "suite/ClDataMgr.h"
#include "suite/ClSetData.h"
#include "suite/ClSysUser.h"
#include "suite/ClUtyDBHpr.h"
#include "suite/ClAccConnect.h"
#include "suite/SuiteRecords.h"
#include "win32/ProcessEnding.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

const char kCaption[] = "消費税";
const char kProgramLevelFile[] = "OrlanzenDef.ini";
// The definition file's path is built in a buffer of its own, room for the
// current directory (at most MAX_PATH) with the separator and the name.
constexpr size_t kLevelFilePathSize = 517;
static_assert(kLevelFilePathSize > MAX_PATH + 1 + sizeof kProgramLevelFile);

// The environment check's messages.
const char kMsgEnvironment[] =
    "動作環境が不正です。\nES_APRPACKAGENAMEが正しくインストールされているか確認してください。";
const char kMsgOlderPackage[] =
    "ご利用の連動コンポーネントは、インストールされているES_APRPACKAGENAMEでは使用できません。\n"
    "ES_APRPACKAGENAMEの最新版を入手してインストールしてからご利用ください。";
const char kMsgNewerPackage[] =
    "ご利用の連動コンポーネントは、インストールされているES_APRPACKAGENAMEでは使用できません。\n"
    "連動コンポーネントの最新版を入手してインストールしてからご利用ください。";

const char kMsgCompleted[] = "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。";

}  // namespace

// Texts of the endings the program decides itself.
const char CShohizeiLinkApp::kMsgNoDataset[] =
    "選択されている会計データが見つかりません。\n\n会計システムでデータを選択し直してから実行してください。";
const char CShohizeiLinkApp::kMsgNoDialog[] = "集計条件の画面を表示できませんでした。";
const char CShohizeiLinkApp::kMsgPathTooLong[] =
    "出力先のパスが長すぎます。\n\n出力先は半角260文字(全角130文字)以内で指定してください。";
const char CShohizeiLinkApp::kMsgOverflow[] =
    "金額が計算できる範囲を超えたため、消費税情報の出力を中止しました。";
const char CShohizeiLinkApp::kMsgNoMemory[] = "メモリが不足しているため、消費税情報の出力を中止しました。";
const char CShohizeiLinkApp::kMsgUnexpected[] =
    "予期しないエラーが発生したため、消費税情報の出力を中止しました。";
const char CShohizeiLinkApp::kMsgStageMissing[] =
    "この連動プログラムには集計と出力の機能が組み込まれていないため、処理を中止しました。";

BOOL CShohizeiLinkApp::InitInstance()
{
    EnableControlContainer();
    SetConsoleCtrlHandler(&CShohizeiLinkApp::OnControlEvent, TRUE);
    const char* failure = nullptr;
    try {
        return RunExport();
    } catch (int) {
        failure = kMsgOverflow;  // ClKingaku refused an amount
    } catch (const std::bad_alloc&) {
        failure = kMsgNoMemory;
    } catch (CException* e) {
        e->Delete();
        failure = kMsgUnexpected;
    } catch (...) {
        failure = kMsgUnexpected;
    }
    AbandonRun(failure);
    return FALSE;
}

// Ends a run that an exception interrupted: the stages' own objects are gone
// already (the dialogs and the output file closed), so what is left is the
// wait cursor, the file the run had begun, the buffers, and the user's message.
void CShohizeiLinkApp::AbandonRun(LPCTSTR lpszText)
{
    while (m_nWaitCursorDepth > 0) {
        EndRunWaitCursor();
    }
    // Removed first, forgotten after: a signal's ending between the two
    // still finds the file the run's (and finds it gone).
    win::ProcessEnding::RemoveBegunOutput();
    win::ProcessEnding::ForgetOutput();
    ReleaseRunBuffers();
    FailRun(lpszText);
}

// The run names its output before it opens it; the file is the run's only
// once this process has opened it (see win32/ProcessEnding.h).
void CShohizeiLinkApp::SetOutputInProgress(LPCTSTR lpszPath)
{
    win::ProcessEnding::ExpectOutput(lpszPath);
}

// The output is closed whole: from here a termination signal leaves it and
// tells the caller the export is done.
void CShohizeiLinkApp::CompleteOutput()
{
    win::ProcessEnding::CompleteOutput();
}

BOOL CShohizeiLinkApp::OnControlEvent(DWORD /*dwCtrlType*/)
{
    theApp.EndRunOnSignal();
    return TRUE;
}

// A termination signal's ending of the run, on the signal's thread, once the
// run's thread is held at its next effect (see platform/README.md,
// "Termination signals"). ExitInstance has not begun (or this would not run),
// so the caller has not been released. Nothing here waits for the user.
void CShohizeiLinkApp::EndRunOnSignal()
{
    EnterCriticalSection(&m_csEnding);
    const int bLaunched = m_bLaunchedByCaller;
    LeaveCriticalSection(&m_csEnding);
    // A complete export stays and is reported as done; a begun one is
    // removed; a file the run never opened is not touched.
    const bool bCompleted = win::ProcessEnding::RemoveBegunOutput() == win::ProcessEnding::Output::Complete;
    if (bLaunched == 1) {
        ReleaseCaller(bCompleted ? RESULT_EXPORTED : RESULT_ERROR);
    }
}

BOOL CShohizeiLinkApp::RunExport()
{
    // 1. The connection; a failure has been told by the suite, and nobody
    //    is recorded yet, so nobody is notified.
    if (!PrepareConnection()) {
        return FALSE;
    }
    // 2. The caller.
    if (ParseCallerArgs(m_lpCmdLine) == 1) {
        RecordCaller();
    }
    // 3. The program's folder, where the filing application's file lies.
    EnterProgramFolder();
    // 4. The filing application's program level.
    if (!CheckProgramLevel()) {
        m_nResultCode = RESULT_ERROR;
        return FALSE;
    }
    // 5. The user and the selected dataset.
    if (!ConnectToDataset()) {
        return FALSE;
    }

    // From here on the run owns buffers; every ending releases them.
    struct BufferRelease {
        CShohizeiLinkApp* app;
        ~BufferRelease() { app->ReleaseRunBuffers(); }
    } release{this};

    // 6. The dataset and the saved tax-return values.
    StDATAINFO dataInfo;
    int nUsable = 0;
    if (!ReadDataset(&dataInfo, &nUsable)) {
        return FALSE;
    }
    // 7. The conditions. The dialog lives as long as the run.
    CShukeiJokenDlg conditionsDlg(m_pCallerWnd);
    struct DialogScope {
        CShukeiJokenDlg*& slot;
        ~DialogScope() { slot = nullptr; }
    } dialogScope{m_pConditionsDlg};
    m_pConditionsDlg = &conditionsDlg;
    ShukeiConditions conditions;
    if (!RunConditionsDialog(&dataInfo, nUsable, &conditions)) {
        return FALSE;
    }
    // 8. The progress dialog, hidden; from now on it owns the messages of
    //    the run. It is destroyed on every ending, before the messages of an
    //    interrupted run, which then have no owner of the run's.
    CAddTaxDlg dlgProgress;
    dlgProgress.Create(CAddTaxDlg::IDD);
    struct ProgressOwner {
        CShohizeiLinkApp* app;
        ~ProgressOwner()
        {
            app->m_pAddTaxDlg = nullptr;
            app->m_hMessageOwner = nullptr;
        }
    } progressOwner{this};
    m_pAddTaxDlg = &dlgProgress;
    m_hMessageOwner = dlgProgress.GetSafeHwnd();
    // 9. The saved values, or 10. and 11. the aggregation and the file.
    if (conditions.nMode == 1) {
        if (!RunSavedValuesExport(&dataInfo, conditions)) {
            return FALSE;
        }
    } else {
        StSHOHIZEIINFO shohizeiInfo;
        std::memset(&shohizeiInfo, 0, sizeof shohizeiInfo);
        if (!RunAggregation(&dataInfo, &shohizeiInfo, &conditions)) {
            return FALSE;
        }
        if (!WriteReportFile(&dataInfo, &shohizeiInfo, conditions)) {
            return FALSE;
        }
    }
    // 12. Completion.
    CompleteRun(conditions);
    return TRUE;
}

int CShohizeiLinkApp::PrepareConnection()
{
    ClAccConnect* pConnect = ClAccConnect::Inst();
    pConnect->m_pszCaption = kCaption;
    pConnect->SetAppType(static_cast<ClSysEnvMgr::_AppType>(g_Edition.nAppType));
    pConnect->SetUseDataType(3);
    return pConnect->Initiate() == 0 ? 1 : 0;
}

void CShohizeiLinkApp::RecordCaller()
{
    // Recorded before the window is disabled: a signal's ending that sees the
    // caller releases it, and one that comes before sees nobody to release.
    EnterCriticalSection(&m_csEnding);
    m_bLaunchedByCaller = 1;
    LeaveCriticalSection(&m_csEnding);
    m_pCallerWnd = CWnd::FromHandle(m_hCallerWnd);
    EnableWindow(m_hCallerWnd, FALSE);
    ClAccConnect::Inst()->m_hOwnerWnd = m_hCallerWnd;
}

// The program's folder becomes the current directory: the help-file path lies
// in it, so the folder is that path up to its last backslash.
void CShohizeiLinkApp::EnterProgramFolder()
{
    std::string folder(m_pszHelpFilePath);
    const size_t last = mbcs::FindLastChar(folder, '\\');
    if (last == std::string::npos) {
        return;
    }
    folder.resize(last + 1);
    SetCurrentDirectoryA(folder.c_str());
}

namespace {

// The messages of a failed check name no file: the debug output says which
// file was meant, where it was looked for (also on the host) and what it held.
void TellProgramLevelFile(const char* szPath, bool bMissing, const char* szValue)
{
    char szHost[kLevelFilePathSize * 2] = {};
    const DWORD hostLength = GetHostPathNameA(szPath, szHost, sizeof szHost);
    std::string line = std::string("the filing application's definition file \"") + kProgramLevelFile +
                       "\" was looked for in the program's folder: " + szPath + " (host path " +
                       (hostLength ? szHost : "none") + "); ";
    if (bMissing) {
        line += "it does not exist";
    } else {
        line += std::string("[ProgramLevel] SY35 reads \"") + szValue + "\" (this program needs 4)";
    }
    OutputDebugStringA(line.c_str());
}

}  // namespace

// The filing application declares its program level in its definition file in
// the program's folder: section ProgramLevel, key SY35, which must read 4. A
// missing key counts as 4; a missing file or an empty value is a broken
// installation.
int CShohizeiLinkApp::CheckProgramLevel()
{
    char szDir[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof szDir, szDir);
    if (length >= sizeof szDir) {
        szDir[0] = '\0';  // too long to take: the file is looked for relative to it
    }
    char szPath[kLevelFilePathSize] = {};
    std::strcpy(szPath, szDir);
    const size_t len = std::strlen(szDir);
    if (len > 0) {
        const bool endsWithSeparator = szDir[len - 1] == '\\' && !mbcs::IsTrailAt(szDir, len - 1);
        if (!endsWithSeparator && len < kLevelFilePathSize - 1) {
            std::strcat(szPath, "\\");
        }
    }
    std::strcat(szPath, kProgramLevelFile);

    int code;
    char szValue[16] = {};
    const bool bFileFound = _access(szPath, 0) == 0;
    if (!bFileFound) {
        code = -1;
    } else {
        GetPrivateProfileStringA("ProgramLevel", "SY35", "4", szValue, sizeof szValue, szPath);
        if (szValue[0] == '\0') {
            code = -1;
        } else {
            const int level = CrtAtoi(szValue);
            code = (level == 4) ? 0 : (level < 4) ? 1 : 2;
        }
    }

    const char* text = nullptr;
    switch (code) {
    case -1:
        text = kMsgEnvironment;
        break;
    case 1:
        text = kMsgOlderPackage;
        break;
    case 2:
        text = kMsgNewerPackage;
        break;
    default:
        return 1;
    }
    TellProgramLevelFile(szPath, !bFileFound, szValue);
    ClAccConnect::Inst()->DispMsg(m_hCallerWnd, text, kCaption, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

int CShohizeiLinkApp::ConnectToDataset()
{
    const long status = ClAccConnect::Inst()->ExpSysLink();
    if (status == 0) {
        return 1;
    }
    m_nResultCode = (status == 1) ? RESULT_CANCELLED : RESULT_ERROR;
    return 0;
}

int CShohizeiLinkApp::ReadDataset(StDATAINFO* pDataInfo, int* pUsable)
{
    std::memset(pDataInfo, 0, sizeof(StDATAINFO));
    if (!GetSelectedDataInfo(pDataInfo)) {
        FailRun(kMsgNoDataset);
        return 0;
    }
    m_pSaveTaxInfo = new BYTE[SAVETAXINFO_BUFFER_SIZE]();
    *pUsable = CanUseTaxSaveInfo(m_pSaveTaxInfo, pDataInfo);
    return 1;
}

// The conditions dialog, filled with what the run knows: the user and the
// dataset (the key of the remembered conditions), the preset path of the
// caller, the fiscal period, the months and choices of the saved return, and
// the header texts. The dialog object lives until the run ends, because the
// conditions are remembered through it at completion.
int CShohizeiLinkApp::RunConditionsDialog(const StDATAINFO* pDataInfo, int nUsable, ShukeiConditions* pConditions)
{
    CShukeiJokenDlg* pDlg = m_pConditionsDlg;
    if (pDlg == nullptr) {
        FailRun(kMsgNoDialog);
        return 0;
    }
    const StSaveTaxInfo* pSaved = reinterpret_cast<const StSaveTaxInfo*>(m_pSaveTaxInfo);

    // 1. The user and the numbers of the selection.
    std::memset(pDlg->m_szUserID, 0, sizeof pDlg->m_szUserID);
    long lSelectedNo = 0;
    long lSelectedDataNo = 0;
    if (ClSysUser* pUser = ClDataMgr::Inst()->GetSysUserObject()) {
        pUser->GetCurUserID(pDlg->m_szUserID);
        pDlg->m_szUserID[sizeof pDlg->m_szUserID - 1] = '\0';
        pUser->GetSelectedNo(pDlg->m_szUserID, &lSelectedNo, &lSelectedDataNo);
    }
    pDlg->m_lSelectedNo = lSelectedNo;
    pDlg->m_lSelectedDataNo = lSelectedDataNo;
    // 2. The data ID text of the selected dataset.
    std::memset(pDlg->m_szDataID, 0, sizeof pDlg->m_szDataID);
    if (m_pSetData != nullptr) {
        if (const StDATAINFO* pSelected = m_pSetData->GetSelectedInfo()) {
            ClUtyDBHpr::Inst()->MakeIDStr(pSelected, pDlg->m_szDataID);
        }
    }
    // 3. The path fixed by the caller.
    pDlg->m_strPresetPath.Empty();
    if (m_bLaunchedByCaller == 1) {
        pDlg->m_strPresetPath = m_strPresetOutputPath;
    }
    // 4. The fiscal period.
    pDlg->m_lKikanFrom = pDataInfo->lPeriodFrom;
    pDlg->m_lKikanTo = pDataInfo->lPeriodTo;
    // 5. The months of the saved return's taxable period.
    short nSavedStart = 0;
    short nSavedEnd = 0;
    GetMonthsByDates(pSaved->lTaxPeriodFrom, pSaved->lTaxPeriodTo, &nSavedStart, &nSavedEnd);
    pDlg->m_nSavedStartMonth = nSavedStart;
    pDlg->m_nSavedEndMonth = nSavedEnd;
    // 6. Whether the saved values serve, and past-results data.
    pDlg->m_bSaveInfoUsable = nUsable;
    pDlg->m_bKakoJisseki = (pDataInfo->sPastDataCode == 99) ? 1 : 0;
    // 7. The header texts (lines 2 to 4 also read the tax settings).
    pDlg->m_strCompanyName = GetHeaderText(0, pDataInfo);
    pDlg->m_strPeriod = GetHeaderText(1, pDataInfo);
    pDlg->m_strKazeiKubun = GetHeaderText(2, pDataInfo);
    pDlg->m_strDetailLabel = GetHeaderText(3, pDataInfo);
    pDlg->m_strDetailValue = GetHeaderText(4, pDataInfo);
    // 8. The taxation kind.
    pDlg->m_nKazeiKubun = static_cast<short>(m_nKazeiKubun);
    // 9. The saved return's choices (zero when nothing could be loaded).
    pDlg->m_bNiwariTokurei = pSaved->byNiwariTokurei;
    pDlg->m_nUriageHoushiki = pSaved->byUriageHoushiki;
    pDlg->m_nShiireHoushiki = pSaved->byShiireHoushiki;

    const INT_PTR nResult = pDlg->DoModal();
    if (nResult == IDC_BTN_CANCEL) {
        m_nResultCode = RESULT_CANCELLED;
        return 0;
    }
    if (nResult != IDC_BTN_EXECUTE) {
        // The dialog could not be shown: nothing was chosen, so nothing may
        // be exported.
        FailRun(kMsgNoDialog);
        return 0;
    }
    pConditions->nStartMonth = static_cast<short>(CrtAtoi(pDlg->m_strStartMonth));
    pConditions->nEndMonth = static_cast<short>(CrtAtoi(pDlg->m_strEndMonth));
    if (!TakeOutputPath(pDlg->m_strOutputPath, pConditions)) {
        return 0;
    }
    pConditions->nUriageHoushiki = static_cast<BYTE>(pDlg->m_nUriageHoushiki);
    pConditions->nShiireHoushiki = static_cast<BYTE>(pDlg->m_nShiireHoushiki);
    pConditions->bNiwariTokurei = static_cast<BYTE>(pDlg->m_bNiwariTokurei);
    pConditions->nMode = pDlg->m_nShukeiMode;
    return 1;
}

// Takes the output path the dialog hands over; a path that does not fit the
// run's 261 bytes ends the run instead of being cut.
int CShohizeiLinkApp::TakeOutputPath(LPCTSTR lpszPath, ShukeiConditions* pConditions)
{
    if (std::strlen(lpszPath) >= sizeof pConditions->szOutputPath) {
        FailRun(kMsgPathTooLong);
        return 0;
    }
    std::strcpy(pConditions->szOutputPath, lpszPath);
    return 1;
}

// RunSavedValuesExport and WriteReportFile, the stages that write the link
// file, are in ReportStages.cpp; RunAggregation is in AggregationStage.cpp.

void CShohizeiLinkApp::CompleteRun(const ShukeiConditions& conditions)
{
    // The conditions are remembered for the next run of this user and
    // dataset; a path fixed by the caller is not, so the user's own stays.
    if (m_pConditionsDlg != nullptr) {
        m_pConditionsDlg->WriteJokenSettings(conditions.nStartMonth, conditions.nEndMonth,
                                             m_bLaunchedByCaller == 1 ? nullptr : conditions.szOutputPath,
                                             conditions.nMode, conditions.bNiwariTokurei,
                                             conditions.nUriageHoushiki, conditions.nShiireHoushiki);
    }
    ReleaseRunBuffers();
    MessageBoxA(m_hMessageOwner, kMsgCompleted, kCaption, MB_OK | MB_ICONINFORMATION);
}

// The rate value of the filing module for the aggregated range.
int CShohizeiLinkApp::FilingModuleRate(short nStartMonth, short nEndMonth)
{
    const long lStart = GetMonthStartDate(nStartMonth);
    const long lEnd = GetMonthEndDate(nEndMonth);
    return LookupFilingModuleRate(SelectFilingModule(lStart, lEnd, m_nKazeiKubun));
}

void CShohizeiLinkApp::BeginRunWaitCursor()
{
    BeginWaitCursor();
    ++m_nWaitCursorDepth;
}

void CShohizeiLinkApp::EndRunWaitCursor()
{
    if (m_nWaitCursorDepth > 0) {
        --m_nWaitCursorDepth;
        EndWaitCursor();
    }
}

void CShohizeiLinkApp::FailRun(LPCTSTR lpszText)
{
    HWND owner = m_hMessageOwner ? m_hMessageOwner : m_hCallerWnd;
    MessageBoxA(owner, lpszText, kCaption, MB_OK | MB_ICONEXCLAMATION);
    m_nResultCode = RESULT_ERROR;
}

int CShohizeiLinkApp::ExitInstance()
{
    ClAccConnect* pConnect = ClAccConnect::Inst();
    pConnect->LogOut();
    pConnect->Terminate();
    pConnect->Release();
    if (m_bLaunchedByCaller == 1) {
        ReleaseCaller(m_nResultCode);
    }
    ReleaseRunBuffers();
    return CWinApp::ExitInstance();
}

void CShohizeiLinkApp::ReleaseCaller(int nResult)
{
    SetForegroundWindow(m_hCallerWnd);
    EnableWindow(m_hCallerWnd, TRUE);
    // The function id travels sign-widened to 32 bits.
    PostMessageA(m_hCallerWnd, m_nNotifyMsg, static_cast<WPARAM>(static_cast<LPARAM>(m_nFunctionId)),
                 static_cast<LPARAM>(nResult));
    // Enabled once more after the notice: the hand-shake the callers were
    // built against is enable, notify, enable, so that the caller's window is
    // usable both when the notice arrives and after it was posted. On a
    // window that is already enabled the call changes nothing; it stays
    // because the caller is not ours to change.
    EnableWindow(m_hCallerWnd, TRUE);
}
