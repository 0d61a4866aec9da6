// The application object and the spine of one export.
//
// The framework constructs `theApp` before entry and calls InitInstance, which
// performs the whole export (connection, caller hand-shake, environment
// check, dataset, conditions, aggregation or saved values, the link file) and
// returns; ExitInstance then closes the connection and notifies the caller.
// The object also holds what the other parts of the program share during the
// run: the result code, the cached set objects, the run's three heap buffers,
// the refund-statement totals and two bytes of the dataset's tax settings.
#pragma once

#include "mfc/Afx.h"
#include "aggregation/AccumBlock.h"
#include "report/RunFigures.h"

class CWnd;
class CAddTaxDlg;
class CShukeiJokenDlg;
class CXmlWriter;
class ClSetData;
class ClSetShohizei;
struct StDATAINFO;
struct StSHOHIZEIINFO;
struct StFINDINFO;
struct StTAXREPORTRATEINFO;
struct StTAXREPORTBUSINESSTYPEINFO;
namespace linkfile {
struct SystemIds;
}

// Run result code, carried only by the caller notification.
enum {
    RESULT_EXPORTED = 0,
    RESULT_CANCELLED = 1,  // cancelled by the user or refused by a check
    RESULT_ERROR = 2,
};

// Size of the buffer of the saved tax-return values.
#define SAVETAXINFO_BUFFER_SIZE 24576

// The conditions of one export, as the conditions dialog hands them over.
struct ShukeiConditions {
    short nStartMonth = 0;        // start 月度
    short nEndMonth = 0;          // end 月度
    int nMode = 0;                // 0 aggregate the journal entries, 1 the saved values
    BYTE bNiwariTokurei = 0;      // 「2割特例」
    BYTE nUriageHoushiki = 0;     // sales calculation method
    BYTE nShiireHoushiki = 0;     // purchase calculation method
    char szOutputPath[MAX_PATH + 1] = {};
};

class CShohizeiLinkApp : public CWinApp {
public:
    CShohizeiLinkApp();
    ~CShohizeiLinkApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // --- command line, caller and environment --------------------------------
    // Reads "handle,message,function id,path"; 1 when the three commas are
    // there, else 0. Fields are stored as they are read.
    int ParseCallerArgs(LPCTSTR lpszCmdLine);
    // The filing application's program level in "OrlanzenDef.ini" of the
    // current directory; 1 passes, 0 refused (after its message).
    int CheckProgramLevel();

    // --- dataset, tax settings, header texts, saved values --------------------
    int GetSelectedDataInfo(StDATAINFO* pDataInfo);
    int GetShohizeiInfo(StSHOHIZEIINFO* pShohizeiInfo, const StDATAINFO* pDataInfo);
    // Line 0 company, 1 period, 2 taxation kind, 3 detail label, 4 detail
    // value. The text lives in one shared area until the next call.
    // Lines 2 to 4 also read the tax settings and hand them to
    // AdoptTaxSettings: they set m_nHasuMode, and line 2 m_nKazeiKubun.
    LPCTSTR GetHeaderText(short nLine, const StDATAINFO* pDataInfo);
    // The run's rounding mode (lines 2 to 4) and taxation kind (line 2) from
    // the settings that header line nLine has read; the only writer of both.
    void AdoptTaxSettings(short nLine, const StSHOHIZEIINFO& info);
    long GetMonthStartDate(short nMonth);
    long GetMonthEndDate(short nMonth);
    long GetMonthsByDates(long lDate1, long lDate2, short* pMonth1, short* pMonth2);
    long LoadTaxSaveInfo(BYTE* pSaveTaxInfo, const StDATAINFO* pDataInfo);
    int MatchTaxSaveInfo(const BYTE* pSaveTaxInfo, const StDATAINFO* pDataInfo);
    int CanUseTaxSaveInfo(BYTE* pSaveTaxInfo, const StDATAINFO* pDataInfo);

    // --- the link file (report/) ------------------------------------------------
    // The writers are free functions of report/ that take the run's figures;
    // these members forward to them with Figures() (ReportStages.cpp).
    //
    // The run's figures as the writers read them: the members below that the
    // aggregation, the saved-values load and the header texts have filled.
    RunFigures Figures() const;
    // SYSTEM and BASIC; 1 when the whole section was written. BASIC's mode 1
    // takes the fiscal year and the two flags from the saved values.
    int WriteSystemSection(CXmlWriter* pWriter);
    int WriteBasicSection(CXmlWriter* pWriter, const StDATAINFO* pDataInfo, int nMode, int bNiwariTokurei);
    // The text in full width, cut to 32 bytes at a character boundary; one
    // shared 100-byte buffer, valid until the next call.
    static LPCTSTR ToZenkakuText32(LPCTSTR lpszText);
    // 1 when the aggregated records hold amounts at a rate other than 10 %
    // and reduced 8 %.
    int HasKeikaSochiAmounts();
    // DATA from the aggregated records, and from the saved values.
    int WriteDataFromShiwake(CXmlWriter* pWriter, const StDATAINFO* pDataInfo, const StSHOHIZEIINFO* pShohizeiInfo,
                             BYTE bNiwariTokurei, BYTE nUriageHoushiki, BYTE nShiireHoushiki);
    int WriteDataFromSaveInfo(CXmlWriter* pWriter, const StDATAINFO* pDataInfo, int bNiwariTokurei,
                              int nUriageHoushiki, int nShiireHoushiki);
    // One amount element at level 3: the raw amount in whole yen, empty for 0
    // or when bBlank is set.
    int WriteKingakuElement(CXmlWriter* pWriter, LPSTR lpszLine, LPCTSTR lpszName, __int64 llRaw, int bBlank);
    // The raw amount times 20; throws the integer -1 when the product leaves
    // the raw range.
    __int64 MulRawBy20(__int64 llRaw);
    // The refund-statement blocks of both modes.
    int WriteKanpuH(CXmlWriter* pWriter, const StDATAINFO* pDataInfo, const StSHOHIZEIINFO* pShohizeiInfo);
    int WriteKanpuK(CXmlWriter* pWriter, const StDATAINFO* pDataInfo, const StSHOHIZEIINFO* pShohizeiInfo);
    int WriteKanpuHFromSaveInfo(CXmlWriter* pWriter, const StDATAINFO* pDataInfo);
    int WriteKanpuKFromSaveInfo(CXmlWriter* pWriter, const StDATAINFO* pDataInfo);
    // The whole link file of each mode, with the continue-or-stop question
    // after a failed section; 1 when the run goes on, 0 when the user stopped
    // (m_nResultCode is then 2).
    int OutputSaveInfoReport(HWND hOwner, LPCTSTR lpszPath, const StDATAINFO* pDataInfo, int bNiwariTokurei,
                             int nUriageHoushiki, int nShiireHoushiki);
    int OutputShiwakeReport(HWND hOwner, LPCTSTR lpszPath, const StDATAINFO* pDataInfo,
                            const StSHOHIZEIINFO* pShohizeiInfo, BYTE bNiwariTokurei, BYTE nUriageHoushiki,
                            BYTE nShiireHoushiki);

    // --- amounts and the month range -------------------------------------------
    // Raw amount (1/10000 yen) to whole yen by m_nHasuMode (RoundYen).
    __int64 RoundHasu(__int64 llRaw) const;
    // The month-range condition of the aggregation (caller zeroes the terms).
    void BuildShukeiJoken(StFINDINFO* pFindInfo, const StDATAINFO* pDataInfo, short nStartMonth, short nEndMonth);
    // The same from the period's first and last 月度 (last + 100 when the
    // period runs into a second calendar year) and the half-year flag.
    static void FillShukeiJoken(StFINDINFO* pFindInfo, short nStartMonth, short nEndMonth, short nFirstMonth,
                                short nLastMonth, int nHalfYearFlag);

    // --- members shared with the rest of the program ---------------------------
    int m_bLaunchedByCaller = 0;
    HWND m_hCallerWnd = nullptr;
    UINT m_nNotifyMsg = 0;
    short m_nFunctionId = 1;
    CString m_strPresetOutputPath;
    CWnd* m_pCallerWnd = nullptr;          // not owned
    int m_nResultCode = RESULT_EXPORTED;
    ClSetData* m_pSetData = nullptr;       // not owned
    ClSetShohizei* m_pSetShohizei = nullptr;  // not owned
    StTAXREPORTRATEINFO* m_pRateInfo = nullptr;                  // owned: 3 x rate count records
    StTAXREPORTBUSINESSTYPEINFO* m_pBusinessTypeInfo = nullptr;  // owned: 6 x rate count records
    BYTE* m_pSaveTaxInfo = nullptr;        // owned: SAVETAXINFO_BUFFER_SIZE bytes
    // The corporation's refund-statement rows.
    AccumBlock m_abShohinShiire;
    AccumBlock m_abHanbaiIppan;
    AccumBlock m_abEigyogaiHiyou;
    AccumBlock m_abSonotaSoneki;
    // The individual's refund-statement rows.
    AccumBlock m_abJigyoShiire;
    AccumBlock m_abJigyoHitsuyou;
    AccumBlock m_abJigyoKoteiShisan;
    AccumBlock m_abFudousanHitsuyou;
    AccumBlock m_abFudousanKoteiShisan;
    AccumBlock m_abSonotaShiire;
    AccumBlock m_abSonotaHitsuyou;
    AccumBlock m_abSonotaKoteiShisan;
    __int64 m_llKoteiShisan = 0;     // the corporation's fixed-asset acquisitions
    __int64 m_llKurinobeShisan = 0;  // the corporation's deferred-asset acquisitions
    // The taxation kind, 0 免税, 1 簡易課税, 2 原則課税, and the dataset's yen
    // rounding mode: written only by AdoptTaxSettings, when the run builds
    // the conditions dialog's header (GetHeaderText 2 to 4); read after that
    // by the dialog (its own copy), the aggregation (CAddTaxDlg's copy) and
    // the writers (through Figures). The settings record the aggregation
    // reads again (StSHOHIZEIINFO::byKazeiKubun) is the fourth holder; the
    // run's checks use that one, as the settings stand at that moment.
    BYTE m_nKazeiKubun = 0;
    BYTE m_nHasuMode = 0;
    CAddTaxDlg* m_pAddTaxDlg = nullptr;  // the run's progress dialog once created (step 8), not owned

    // The rate value of the filing module for the aggregated range of 月度.
    int FilingModuleRate(short nStartMonth, short nEndMonth);
    // The wait cursor of the run; an interrupted run ends what it began.
    void BeginRunWaitCursor();
    void EndRunWaitCursor();

    // Texts of the endings the program decides itself (caption "消費税").
    static const char kMsgNoDataset[];
    static const char kMsgNoDialog[];
    static const char kMsgPathTooLong[];
    static const char kMsgOverflow[];
    static const char kMsgNoMemory[];
    static const char kMsgUnexpected[];
    static const char kMsgStageMissing[];

protected:
    // The stages of the run, in order. Each returns 1 to go on, or 0 when
    // the run ends there (m_nResultCode then holds the ending's result).
    // The stages after the dataset are virtual so that a run can be driven
    // with a stage of its own (tests).
    BOOL RunExport();
    int PrepareConnection();
    void RecordCaller();
    int ConnectToDataset();
    int ReadDataset(StDATAINFO* pDataInfo, int* pUsable);
    virtual int RunConditionsDialog(const StDATAINFO* pDataInfo, int nUsable, ShukeiConditions* pConditions);
    virtual int RunSavedValuesExport(const StDATAINFO* pDataInfo, const ShukeiConditions& conditions);
    virtual int RunAggregation(const StDATAINFO* pDataInfo, StSHOHIZEIINFO* pShohizeiInfo,
                               ShukeiConditions* pConditions);
    virtual int WriteReportFile(const StDATAINFO* pDataInfo, const StSHOHIZEIINFO* pShohizeiInfo,
                                const ShukeiConditions& conditions);
    virtual void CompleteRun(const ShukeiConditions& conditions);

public:
    // The program's folder (that of the help-file path) becomes the current
    // directory.
    void EnterProgramFolder();
    // The output file the run is about to write, named by the stage that
    // writes it before the file is opened, and complete once it is closed
    // whole. An interrupted run (also one that a termination signal ends, on
    // the signal's thread) removes the file only when the run has opened it.
    void SetOutputInProgress(LPCTSTR lpszPath);
    void CompleteOutput();
    // The caller's release at the end of a run: brought to the front,
    // enabled, told `nResult`, enabled once more.
    void ReleaseCaller(int nResult);
    // Ends a run that a termination signal interrupts, on the signal's
    // thread while the run's thread is held (see OnControlEvent).
    void EndRunOnSignal();
    // The control handler of the run: a termination signal ends it.
    static BOOL OnControlEvent(DWORD dwCtrlType);
    // Copies the dialog's output path into the conditions; a path longer
    // than 260 bytes ends the run (message, result 2) and gives 0.
    int TakeOutputPath(LPCTSTR lpszPath, ShukeiConditions* pConditions);
    // Ends the run with an error message of the program's own (result 2).
    void FailRun(LPCTSTR lpszText);
    // Ends a run that an exception interrupted, with its message.
    void AbandonRun(LPCTSTR lpszText);
    // Releases the run's buffers that were allocated and clears their pointers.
    void ReleaseRunBuffers();

protected:
    // The function id and the deliverable's product literal for SYSTEM.
    linkfile::SystemIds SystemIdsOfRun() const;

private:
    CShukeiJokenDlg* m_pConditionsDlg = nullptr;  // the run's conditions dialog while the run lasts
    HWND m_hMessageOwner = nullptr;   // owner of the run's messages once the progress dialog exists
    int m_nWaitCursorDepth = 0;       // wait cursors the run began and has not ended
    // Guards m_bLaunchedByCaller, which a termination signal's ending reads
    // from another thread (the output's state is the gate's, see
    // win32/ProcessEnding.h).
    CRITICAL_SECTION m_csEnding;
};

extern CShohizeiLinkApp theApp;
