// The application object: construction, the caller hand-shake and the
// month-range condition. The run itself is in ShohizeiLinkRun.cpp with its
// stages in AggregationStage.cpp and ReportStages.cpp, the dataset side in
// ShohizeiLinkData.cpp.
#include "app/ShohizeiLinkApp.h"

#include "suite/FindInfo.h"

#include <cstring>
#include <string>

CShohizeiLinkApp theApp;

CShohizeiLinkApp::CShohizeiLinkApp()
{
    InitializeCriticalSection(&m_csEnding);
}

CShohizeiLinkApp::~CShohizeiLinkApp()
{
    ReleaseRunBuffers();
    DeleteCriticalSection(&m_csEnding);
}

// ---------------------------------------------------------------------------
// Command line

// The caller's line is "handle,message,function id,path". The original work
// area held 260 bytes; here the whole line is worked on whatever its length,
// so a long line is neither cut inside the path (which would name a different
// file) nor read beyond its end, and the caller's fields are always found. A
// path too long for the run is refused later, when the run takes the path.
int CShohizeiLinkApp::ParseCallerArgs(LPCTSTR lpszCmdLine)
{
    if (lpszCmdLine == nullptr || *lpszCmdLine == '\0') {
        return 0;
    }
    const std::string line(lpszCmdLine);

    // The fields are digits, so a comma in them is always a separator; the
    // search need not step over double-byte characters until the path.
    const size_t comma1 = line.find(',');
    if (comma1 == std::string::npos) {
        return 0;
    }
    m_hCallerWnd = HwndFromValue(static_cast<uint32_t>(CrtAtoi(line.substr(0, comma1).c_str())));

    const size_t comma2 = line.find(',', comma1 + 1);
    if (comma2 == std::string::npos) {
        return 0;
    }
    m_nNotifyMsg = static_cast<UINT>(CrtAtoi(line.substr(comma1 + 1, comma2 - comma1 - 1).c_str()));

    const size_t comma3 = line.find(',', comma2 + 1);
    if (comma3 == std::string::npos) {
        return 0;
    }
    m_nFunctionId = static_cast<short>(CrtAtoi(line.substr(comma2 + 1, comma3 - comma2 - 1).c_str()));

    // Everything behind the third comma, commas included, is the path.
    if (comma3 + 1 < line.size()) {
        m_strPresetOutputPath = line.substr(comma3 + 1).c_str();
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Month-range condition

namespace {

void SetMonthTerm(StFINDINFO& term, short nCompare, short nKind)
{
    term.lItem = FINDITEM_MONTHKIND;
    term.nSide = FINDSIDE_NONE;
    term.nCompare = nCompare;
    term.nValueType = FINDVAL_SHORT;
    term.lValue = 0;
    term.nValue = nKind;
    term.pNest = nullptr;
    term.nConnect = FINDCON_END;
}

}  // namespace

// Month kinds number the months of the fiscal year from 1 (its first month)
// to 12; 15 is the half-year closing, 18 the year-end closing. The terms are
// "s <= kind AND kind <= e", followed by "OR kind = 15" when the range ends
// with the sixth month of a year with a half-year closing, and "OR kind = 18"
// when it ends with the last month of the year.
void CShohizeiLinkApp::FillShukeiJoken(StFINDINFO* pFindInfo, short nStartMonth, short nEndMonth, short nFirstMonth,
                                       short nLastMonth, int nHalfYearFlag)
{
    const int a = nStartMonth;
    const int b = nEndMonth;
    const int f = nFirstMonth;
    const int h = nLastMonth % 100;            // calendar month of the period end
    const bool w = (nLastMonth / 100) != 0;    // the period runs into a second year

    int s;
    if (a == f) {
        s = 1;
    } else if (a > f) {
        s = a - f + 1;
    } else {
        s = a - f + 13;
    }
    int e;
    if (b == h) {
        e = w ? h - f + 13 : h - f + 1;
    } else if (b < h) {
        e = w ? b - f + 13 : b - f + 1;
    } else {
        e = b - f + 1;
    }

    SetMonthTerm(pFindInfo[0], FINDCMP_GE, static_cast<short>(s));
    pFindInfo[0].nConnect = FINDCON_AND;
    SetMonthTerm(pFindInfo[1], FINDCMP_LE, static_cast<short>(e));
    int next = 2;
    if (nHalfYearFlag == 1 && e == 6) {
        pFindInfo[next - 1].nConnect = FINDCON_OR;
        SetMonthTerm(pFindInfo[next], FINDCMP_EQ, 15);
        ++next;
    }
    if (b == h) {
        pFindInfo[next - 1].nConnect = FINDCON_OR;
        SetMonthTerm(pFindInfo[next], FINDCMP_EQ, 18);
    }
}

// ---------------------------------------------------------------------------
// Buffers of the run

void CShohizeiLinkApp::ReleaseRunBuffers()
{
    delete[] reinterpret_cast<BYTE*>(m_pRateInfo);
    m_pRateInfo = nullptr;
    delete[] reinterpret_cast<BYTE*>(m_pBusinessTypeInfo);
    m_pBusinessTypeInfo = nullptr;
    delete[] m_pSaveTaxInfo;
    m_pSaveTaxInfo = nullptr;
}
