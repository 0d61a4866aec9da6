// The progress dialog 「集計中」 and the aggregation engine it carries.
//
// The run creates it modeless (hidden) right after the conditions dialog, in
// both modes; from then on its window owns the run's message boxes. In the
// aggregation mode the run shows it and drives the main bar over 1,000 steps
// in three calls of AdvanceProgress around the summation and the totals; the
// passes tick the sub-step bar once per record. There is no worker thread:
// every progress call repaints synchronously.
//
// The dialog also holds what the aggregation shares: the run's month-range
// condition (filled by the run before the first step), the taxation kind,
// the account list, and the rule objects it keeps for the run (the tax
// summation's, the journal walk's, and the corporation's account-summary and
// fixed-asset passes'). The journal-entry checks and the individual's account
// and asset passes make their own rule objects and delete them before they
// return.
//
// Amounts: every total is a raw amount (1/10000 yen) formed through
// ClKingaku. Where a product or a sum would leave the signed 64-bit raw range
// the engine throws the integer -1 (ClKingaku's overflow signal) instead of
// letting the total wrap; the run ends the export on it.
#pragma once

#include <functional>
#include <list>

#include "mfc/Afx.h"
#include "mfc/CDialog.h"
#include "mfc/CProgressCtrl.h"
#include "app/Kingaku.h"
#include "res/AddTaxResource.h"
#include "aggregation/AccumBlock.h"
#include "suite/FindInfo.h"
#include "suite/RuleTypes.h"
#include "suite/SuiteRecords.h"

class ClRuleBase;
class ClRuleShohizeiShinkoku;
class ClRuleShiwake;
class ClRuleKamoku;
class ClRuleGenkashokyaku;
class KamokuPositions;

class CAddTaxDlg : public CDialog {
public:
    enum { IDD = IDD_ADDTAX };

    explicit CAddTaxDlg(CWnd* pParent = nullptr);
    ~CAddTaxDlg() override;

    // --- progress -----------------------------------------------------------------
    // Main bar: range 0 to 1000, step 1, position 0.
    void InitProgress();
    // Steps the main bar once for every value from nFrom to nTo (both
    // included); at multiples of 10 the caption shows "集計中 n％".
    void AdvanceProgress(short nFrom, short nTo);
    // Runs the sub-step bar once through 0 to 10, keeping the dialog in front.
    void CycleSubProgress();
    // One tick of the sub-step bar (relies on the range CycleSubProgress set).
    void StepSubProgress();
    // Ends (hides) the dialog with IDOK.
    void EndProgress();

    // --- consumption-tax summation and journal-entry checks ------------------------
    // Pre-fills the three rate groups and the business-kind records and has
    // the library's summation fill their amounts; 1 when it ran, 0 when the
    // settings, a rate count of 5 or the rule object are not available.
    int SumTaxShinkoku(StTAXREPORTRATEINFO* pRateInfo, StTAXREPORTBUSINESSTYPEINFO* pBusinessTypeInfo,
                       int32_t lSubstTaxRate);
    // The non-taxable sales of securities of the first nCount rate records,
    // which the summation holds at 5 %, times 20. Throws the integer -1, with
    // no record changed, when a product leaves the raw range.
    static void ScaleYukaUriage(StTAXREPORTRATEINFO* pRateInfo, int nCount);
    // 1 when the range holds entries with a tax code of 31 to 37 on a side.
    int HasMiteiYunyuShiwake();
    // Entries at the old rates (mode 0: 3, 5 or 8 %) or the new ones (else:
    // reduced 8 % or 10 %); *pFound 1 or 0. Returns the registered status.
    long CheckZeiRateShiwake(int32_t* pFound, int nMode);
    // Number of entries of business kind nKind; returns the registered status.
    long CheckJigyoBunruiShiwake(int32_t nKind, int32_t* pCount);

    // --- refund-statement totals ---------------------------------------------------
    // Refills the account list with the accounts of a list type (2 or 3).
    void BuildKamokuList(short nType);
    int SumKanpuHojin(AccumBlock* pShohinShiire, AccumBlock* pHanbaiIppan, AccumBlock* pEigyogaiHiyou,
                      AccumBlock* pSonotaSoneki, __int64* pKoteiShisan, __int64* pKurinobeShisan,
                      const StDATAINFO* pDataInfo, const StSHOHIZEIINFO* pShohizeiInfo);
    int SumKanpuKojin(AccumBlock* pJigyoShiire, AccumBlock* pJigyoHitsuyou, AccumBlock* pJigyoKoteiShisan,
                      AccumBlock* pFudousanHitsuyou, AccumBlock* pFudousanKoteiShisan, AccumBlock* pSonotaShiire,
                      AccumBlock* pSonotaHitsuyou, AccumBlock* pSonotaKoteiShisan, const StDATAINFO* pDataInfo,
                      const StSHOHIZEIINFO* pShohizeiInfo);
    // The individual's account pass, for one department or (null) none.
    long SumKamokuByBumon(AccumBlock* pJigyoShiire, AccumBlock* pJigyoHitsuyou, AccumBlock* pFudousanHitsuyou,
                          AccumBlock* pSonotaShiire, AccumBlock* pSonotaHitsuyou, const StDATAINFO* pDataInfo,
                          const StSHOHIZEIINFO* pShohizeiInfo, const StBUMONINFO* pBumon);
    // An account summary's movement over slots nFromMonth to nToMonth, plus
    // the year-end (13) and half-year (14) closing slots when asked: debit
    // minus credit for a debit account (side byte 1), else credit minus debit.
    static ClKingaku& NetKamokuMove(ClKingaku& result, const StKAMOKUSUMINFO* pSum, short nFromMonth, short nToMonth,
                                    const StSHOHIZEIINFO* pShohizeiInfo, int bWithClosing, int bWithHalfYear);
    // The individual's journal pass.
    long SumShiwakeByBumon(AccumBlock* pJigyoShiire, AccumBlock* pJigyoHitsuyou, AccumBlock* pFudousanHitsuyou,
                           AccumBlock* pSonotaShiire, AccumBlock* pSonotaHitsuyou, const StDATAINFO* pDataInfo,
                           const StSHOHIZEIINFO* pShohizeiInfo);
    // The individual's fixed-asset pass.
    long SumKoteiShisan(AccumBlock* pJigyoKoteiShisan, AccumBlock* pFudousanKoteiShisan,
                        AccumBlock* pSonotaKoteiShisan, short nFromMonth, short nToMonth, const StDATAINFO* pDataInfo);

    // --- members ------------------------------------------------------------------
    CProgressCtrl m_ctlSubProgress;   // control 1024
    CProgressCtrl m_ctlMainProgress;  // control 1019
    StFINDINFO m_findInfo[FINDINFO_RUN_TERMS];  // the run's month-range condition
    // 0 免税, 1 簡易課税, 2 原則課税: the run's taxation kind, copied in by
    // the run before the checks; the summation passes it to the library.
    BYTE m_nKazeiKubun = 0;
    ClRuleShohizeiShinkoku* m_pRuleShohizeiShinkoku = nullptr;  // owned
    ClRuleShiwake* m_pRuleShiwake = nullptr;                    // owned
    ClRuleKamoku* m_pRuleKamoku = nullptr;                      // owned
    ClRuleGenkashokyaku* m_pRuleGenkashokyaku = nullptr;        // owned
    std::list<StKAMOKUINFO> m_kamokuList;                       // the account list
    std::list<StKAMOKUINFO>::iterator m_posKamoku;              // its current position
    int m_nSubStep = 0;               // sub-step counter, 0 to 10

    // Adds (or subtracts) an amount to a raw total. Throws the integer -1
    // when the total would leave the signed 64-bit raw range.
    static void AddToTotal(__int64* pTotal, const ClKingaku& amount);
    static void SubFromTotal(__int64* pTotal, const ClKingaku& amount);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    // Sub-step bar back to 0 (range 0 to 10, step 1) and the counter with it.
    void ResetSubProgress();
    // Empties the account list.
    void ClearKamokuList();
    // A journal-entry rule object set up for the selected dataset, owned by
    // the caller; null when it cannot be made.
    static ClRuleShiwake* NewRuleShiwake();
    // Points a new rule object at a dataset (the address of its record; null
    // for none) through the run's managers.
    static void SetUpRule(ClRuleBase* pRule, LPCDATAID pDataId);
    // A journal side's value: its amount, plus its tax in tax-included books.
    static ClKingaku SideValue(const StSWKTSIDE& side, bool bZeikomi);
    // Starts a refund-statement journal pass: the account list of
    // `nListType` placed by `classify`, and the walk over the entries of the
    // run's range with a tax code the statement reads. Returns the number of
    // entries, or -1 when there is no journal rule object.
    int32_t StartKanpuShiwake(short nListType, int (*classify)(DWORD), int none, KamokuPositions* pPositions);
    // Reads asset `nIndex` of a fixed-asset walk; its year and month records
    // are read with it and not needed.
    static long MoveAsset(ClRuleGenkashokyaku* pRule, int32_t nIndex, StKOTEISHISANINFO* pAsset);
    // Walks the `nEntries` entries of that pass and hands every side it
    // counts (a record of its account in the list, a refund tax code) to
    // `count` with the record's class and the side's value, debit sides as
    // not credit. Ticks the sub-step bar per entry when `bTick`. `*pStatus`
    // gets the last step's status (left as it is without entries).
    using KanpuSideFn = std::function<void(const StSWKTSIDE& side, int cls, const ClKingaku& value, bool bCredit)>;
    void WalkKanpuShiwake(int32_t nEntries, const KamokuPositions& positions, bool bZeikomi, bool bTick,
                          const KanpuSideFn& count, long* pStatus);
};
