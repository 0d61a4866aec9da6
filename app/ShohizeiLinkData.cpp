// What the run knows about the selected company data: the dataset record, the
// consumption-tax settings, the header texts of the conditions dialog, the
// conversion between accounting months (月度) and dates, and the values saved
// in the bookkeeping application's own tax-return screen.
//
// The set objects, the period calculator and the saved-values reader are the
// suite's. Where the suite hands out no object (a set kind it does not know,
// a period that cannot be made), each method gives its failure result instead
// of calling through a null pointer: no record, no settings, date 0, a
// non-zero status, no match.
#include "app/ShohizeiLinkApp.h"

#include "conditions/PeriodMonths.h"

#include "report/TagNameTable.h"
#include "suite/ClAccPeriod.h"
#include "suite/ClDataMgr.h"
#include "suite/ClLinkMgr.h"
#include "suite/ClMsgMgr.h"
#include "suite/ClSaveTaxShiryo.h"
#include "suite/ClSetData.h"
#include "suite/ClSetMgr.h"
#include "suite/ClSetShohizei.h"
#include "suite/ClSysUser.h"
#include "suite/FindInfo.h"
#include "suite/SuiteRecords.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {


// Where the month and saved-value steps register their statuses.
const char kSourceName[] = "ControlVRK35";
const long kLineSaveTaxInfo = 16318;
const long kLineMonths = 16402;

// The one text area of the header texts: a blank, at most 50 bytes of text
// and the terminating NUL.
const size_t kHeaderTextSize = 52;
char s_szHeaderText[kHeaderTextSize];

long Register(long status, long line)
{
    if (status != 0) {
        return ClMsgMgr::Inst()->SetLastError(status, kSourceName, line);
    }
    return ClMsgMgr::Inst()->SetLastError(0, nullptr, 0);
}

// Appends `text` to the header area, cut at a whole character when it does
// not fit (a company name longer than 50 bytes loses its end, never half a
// double-byte character).
void AppendHeader(const char* text)
{
    const size_t used = std::strlen(s_szHeaderText);
    const std::string_view view(text);
    size_t take = 0;
    while (take < view.size()) {
        const size_t len = mbcs::CharLen(view, take);
        if (used + take + len > kHeaderTextSize - 1) {
            break;
        }
        take += len;
    }
    std::memcpy(s_szHeaderText + used, text, take);
    s_szHeaderText[used + take] = '\0';
}

// The label of an index of the shared label table; null when the value lies
// outside the range that has labels.
const char* Label(int first, int value, int count)
{
    if (value < 0 || value >= count) {
        return nullptr;
    }
    return TagNameTable[first + value];
}

// A period calculator of the selected dataset, owned by the caller; null when
// the suite gives none.
std::unique_ptr<ClAccPeriod> DataPeriod()
{
    ClSetData* pSetData = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(ClSetMgr::SETKIND_DATA, 1));
    if (pSetData == nullptr) {
        return nullptr;
    }
    ClAccPeriod* pPeriod = nullptr;
    pSetData->GetAccPeriod(&pPeriod);
    return std::unique_ptr<ClAccPeriod>(pPeriod);
}

}  // namespace

int CShohizeiLinkApp::GetSelectedDataInfo(StDATAINFO* pDataInfo)
{
    if (m_pSetData == nullptr) {
        m_pSetData = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(ClSetMgr::SETKIND_DATA, 1));
    }
    char szUserID[SUITE_USERID_SIZE] = {};
    long lSelectedNo = 0;
    long lDataNo = 0;
    if (ClSysUser* pUser = ClDataMgr::Inst()->GetSysUserObject()) {
        pUser->GetCurUserID(szUserID);
        pUser->GetSelectedNo(szUserID, &lSelectedNo, &lDataNo);
    }
    std::memset(pDataInfo, 0, sizeof(StDATAINFO));
    if (m_pSetData == nullptr) {
        return 0;
    }

    int found = 0;
    SUITECURSOR cursor = nullptr;
    m_pSetData->GetDatCursor(&cursor);
    m_pSetData->ReadyDat(cursor, 0);
    StDATAINFO record;
    while (m_pSetData->WalkDat(&record, cursor) == 0) {
        if (record.nSelectNo == lDataNo) {
            std::memcpy(pDataInfo, &record, sizeof(StDATAINFO));
            found = 1;
            break;
        }
    }
    m_pSetData->ReleaseDatCursor(cursor);
    return found;
}

int CShohizeiLinkApp::GetShohizeiInfo(StSHOHIZEIINFO* pShohizeiInfo, const StDATAINFO* pDataInfo)
{
    if (m_pSetShohizei == nullptr) {
        m_pSetShohizei = dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(ClSetMgr::SETKIND_SHOHIZEI, 1));
    }
    if (m_pSetShohizei == nullptr) {
        return 0;
    }
    m_pSetShohizei->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    m_pSetShohizei->SetCurDataID(pDataInfo);
    StSHOHIZEIINFO info;
    std::memset(&info, 0, sizeof info);
    if (m_pSetShohizei->Get(&info) != 0) {
        return 0;
    }
    std::memcpy(pShohizeiInfo, &info, sizeof info);
    return 1;
}

// A value without a label (a taxation kind above 2, a business kind above 6,
// a deduction method above 1) gives an empty line rather than a blank
// followed by nothing.
// The run takes the dataset's rounding mode and taxation kind while it builds
// the dialog's header: lines 2 to 4 read the settings, and the figures the
// run writes later follow what they read (a settings record that cannot be
// read counts as all zero).
void CShohizeiLinkApp::AdoptTaxSettings(short nLine, const StSHOHIZEIINFO& info)
{
    if (nLine >= 2 && nLine <= 4) {
        m_nHasuMode = info.byHasuMode;
    }
    if (nLine == 2) {
        m_nKazeiKubun = info.byKazeiKubun;
    }
}

LPCTSTR CShohizeiLinkApp::GetHeaderText(short nLine, const StDATAINFO* pDataInfo)
{
    s_szHeaderText[0] = '\0';

    StSHOHIZEIINFO info;
    std::memset(&info, 0, sizeof info);
    if (nLine >= 2 && nLine <= 4) {
        GetShohizeiInfo(&info, pDataInfo);
    }
    AdoptTaxSettings(nLine, info);

    switch (nLine) {
    case 0:
        AppendHeader(" ");
        AppendHeader(pDataInfo->szCompanyName);
        break;
    case 1: {
        const long from = pDataInfo->lPeriodFrom;
        const long to = pDataInfo->lPeriodTo;
        char text[kHeaderTextSize];
        std::snprintf(text, sizeof text, " %04ld/%02ld/%02ld～%04ld/%02ld/%02ld", from / 10000, from % 10000 / 100,
                      from % 100, to / 10000, to % 10000 / 100, to % 100);
        AppendHeader(text);
        break;
    }
    case 2:
        if (const char* label = Label(tagidx::kTaxKindMenzei, info.byKazeiKubun, 3)) {
            AppendHeader(" ");
            AppendHeader(label);
        }
        break;
    case 3:
        if (info.byKazeiKubun == 1) {
            AppendHeader(TagNameTable[tagidx::kLabelMainBusiness]);
        } else if (info.byKazeiKubun == 2) {
            AppendHeader(TagNameTable[tagidx::kLabelDeduction]);
        }
        break;
    case 4: {
        const char* label = nullptr;
        if (info.byKazeiKubun == 1) {
            label = Label(tagidx::kBusinessKind0, info.byJigyoKubun, 7);
        } else if (info.byKazeiKubun == 2) {
            label = Label(tagidx::kDeductionKobetsu, info.byKojoHoushiki, 2);
        }
        if (label != nullptr) {
            AppendHeader(" ");
            AppendHeader(label);
        }
        break;
    }
    default:
        break;
    }
    return s_szHeaderText;
}

long CShohizeiLinkApp::GetMonthStartDate(short nMonth)
{
    long from = 0;
    long to = 0;
    if (std::unique_ptr<ClAccPeriod> period = DataPeriod()) {
        period->GetPeriodByAMonth(nMonth, &from, &to, 0);
    }
    return from;
}

long CShohizeiLinkApp::GetMonthEndDate(short nMonth)
{
    long from = 0;
    long to = 0;
    if (std::unique_ptr<ClAccPeriod> period = DataPeriod()) {
        period->GetPeriodByAMonth(nMonth, &from, &to, 0);
    }
    return to;
}

// The months keep the values the caller preset when the suite writes none.
long CShohizeiLinkApp::GetMonthsByDates(long lDate1, long lDate2, short* pMonth1, short* pMonth2)
{
    long status = SUITE_ERR_NODATA;
    ClSetData* pSetData = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(ClSetMgr::SETKIND_DATA, 1));
    ClAccPeriod* pRaw = nullptr;
    if (pSetData != nullptr) {
        status = pSetData->GetAccPeriod(&pRaw);
    }
    std::unique_ptr<ClAccPeriod> period(pRaw);
    if (status == 0 && period == nullptr) {
        status = SUITE_ERR_NOMEMORY;
    }
    if (status == 0) {
        long month1 = *pMonth1;
        long month2 = *pMonth2;
        period->GetAMonthByDate(lDate1, &month1, 0);
        status = period->GetAMonthByDate(lDate2, &month2, 0);
        *pMonth1 = static_cast<short>(month1);
        *pMonth2 = static_cast<short>(month2);
    }
    return Register(status, kLineMonths);
}

long CShohizeiLinkApp::LoadTaxSaveInfo(BYTE* pSaveTaxInfo, const StDATAINFO* pDataInfo)
{
    std::unique_ptr<ClSaveTaxShiryo> reader(new (std::nothrow) ClSaveTaxShiryo);
    if (reader == nullptr) {
        return -1;
    }
    reader->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    reader->SetCurDataID(pDataInfo);
    reader->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
    reader->RefreshCache();
    const long status = reader->GetTaxSaveInfo(pSaveTaxInfo);
    reader.reset();
    return Register(status, kLineSaveTaxInfo);
}

int CShohizeiLinkApp::MatchTaxSaveInfo(const BYTE* pSaveTaxInfo, const StDATAINFO* pDataInfo)
{
    if (pSaveTaxInfo == nullptr) {
        return 0;
    }
    std::unique_ptr<ClAccPeriod> period = DataPeriod();
    if (period == nullptr) {
        return 0;
    }
    long from = 0;
    long to = 0;
    period->GetPeriod(&from, &to);

    StSHOHIZEIINFO info;
    std::memset(&info, 0, sizeof info);
    GetShohizeiInfo(&info, pDataInfo);

    StSaveTaxInfo saved;
    std::memcpy(&saved, pSaveTaxInfo, sizeof saved);
    const int savedKind = (info.byKazeiKubun == 1) ? 2 : 1;
    const bool match = saved.lPeriodFrom != 0 && saved.lPeriodFrom == from && saved.lPeriodTo != 0 &&
                       saved.lPeriodTo == to && saved.byHalfYearClosing == pDataInfo->nHalfYearClosing + 1 &&
                       saved.byKazeiKubun == savedKind && saved.byKojoHoushiki == info.byKojoHoushiki + 1;
    return match ? 1 : 0;
}

int CShohizeiLinkApp::CanUseTaxSaveInfo(BYTE* pSaveTaxInfo, const StDATAINFO* pDataInfo)
{
    if (LoadTaxSaveInfo(pSaveTaxInfo, pDataInfo) != 0) {
        return 0;
    }
    return MatchTaxSaveInfo(pSaveTaxInfo, pDataInfo);
}

// ---------------------------------------------------------------------------
// Month-range condition of the run

void CShohizeiLinkApp::BuildShukeiJoken(StFINDINFO* pFindInfo, const StDATAINFO* pDataInfo, short nStartMonth,
                                        short nEndMonth)
{
    short first = 0;
    short last = 0;
    GetPeriodMonths(pDataInfo->lPeriodFrom, pDataInfo->lPeriodTo, &first, &last);
    FillShukeiJoken(pFindInfo, nStartMonth, nEndMonth, first, last, pDataInfo->nHalfYearClosing);
}
