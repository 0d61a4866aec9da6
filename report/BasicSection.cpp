// The BASIC section of the link file: company name, fiscal year, corporation
// or individual, taxation kind, transitional-rate amounts and 「2割特例」.
#include "app/ShohizeiLinkApp.h"

#include "report/CXmlWriter.h"
#include "report/RecordFields.h"
#include "report/TagNameTable.h"
#include "suite/ClDataMgr.h"
#include "suite/ClSetShohizei.h"
#include "suite/RuleTypes.h"
#include "suite/SuiteRecords.h"
#include "win32/Mbcs.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kLevelSection = 1;
constexpr int kLevelValue = 2;

// The company name's limit in the file, in bytes.
constexpr size_t kZenkakuLimit = 32;

// Fields of the saved values that BASIC reads.
constexpr int kSavedKeikaSochi = 8;      // transitional-rate flag
constexpr int kSavedYearFrom = 17;       // fiscal-year start, yyyymmdd
constexpr int kSavedYearTo = 21;         // fiscal-year end
constexpr int kSavedNiwariTokurei = 17344;

// The records HasKeikaSochiAmounts examines never go beyond the five rates
// the summation fills.
constexpr int kSummedRates = 5;

}  // namespace

LPCTSTR CShohizeiLinkApp::ToZenkakuText32(LPCTSTR lpszText)
{
    static char s_szZenkaku[100];

    const int length = static_cast<int>(std::strlen(lpszText));
    std::vector<char> wide(2 * (static_cast<size_t>(length) + 1), '\0');
    const int mapped = LCMapStringA(GetSystemDefaultLCID(), LCMAP_FULLWIDTH, lpszText, length, wide.data(),
                                    static_cast<int>(wide.size()));
    const std::string converted(wide.data(), mapped > 0 ? static_cast<size_t>(mapped) : 0);

    // Walk whole characters from the start: only that tells a first byte
    // from a second byte that happens to lie in the lead-byte range.
    size_t cut = 0;
    while (cut < converted.size()) {
        const size_t next = cut + mbcs::CharLen(converted, cut);
        if (next > kZenkakuLimit) break;
        cut = next;
    }
    std::memset(s_szZenkaku, 0, sizeof s_szZenkaku);
    std::memcpy(s_szZenkaku, converted.data(), cut);
    return s_szZenkaku;
}

int CShohizeiLinkApp::HasKeikaSochiAmounts()
{
    auto* pSettings = static_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(4, 1));
    if (pSettings == nullptr || m_pRateInfo == nullptr || m_pBusinessTypeInfo == nullptr) {
        return 0;
    }
    const short n = static_cast<short>(pSettings->GetTaxRateCount());
    if (n <= 0) {
        return 0;
    }
    // The buffers hold 3n and 6n records; the summation fills five rates a
    // group, so no more than that is read.
    const int rates = n < kSummedRates ? n : kSummedRates;

    for (int group = 0; group < 3; ++group) {
        for (int rate = 0; rate < rates; ++rate) {
            const StTAXREPORTRATEINFO& record = m_pRateInfo[group * n + rate];
            int32_t zeiRate;
            std::memcpy(&zeiRate, &record.lZeiRate, sizeof zeiRate);
            if (zeiRate == 1000 || (zeiRate == 800 && record.byKeigen == 1)) {
                continue;
            }
            if (packed::AnyAmountAt(&record, 13, 55)) {
                return 1;
            }
        }
    }
    // The business kinds of the third rate (8 %) onwards.
    if (n > 2) {
        for (int index = 12; index < 6 * rates; ++index) {
            if (packed::AnyAmountAt(&m_pBusinessTypeInfo[index], 8, 6)) {
                return 1;
            }
        }
    }
    return 0;
}

int CShohizeiLinkApp::WriteBasicSection(CXmlWriter* pWriter, const StDATAINFO* pDataInfo, int nMode,
                                        int bNiwariTokurei)
{
    const bool bSaved = (nMode == 1);
    const BYTE* save = m_pSaveTaxInfo;
    if (bSaved && save == nullptr) {
        return 0;
    }

    char line[256] = {};
    char from[256] = {};
    char to[256] = {};
    const char* kind = "";
    const char* keika;
    const char* niwari;

    // The company name is a terminated field of its record; it is never read
    // beyond the field.
    const std::string company(pDataInfo->szCompanyName,
                              strnlen(pDataInfo->szCompanyName, sizeof pDataInfo->szCompanyName));
    std::snprintf(from, sizeof from, "%ld",
                  static_cast<long>(bSaved ? packed::IntAt(save, kSavedYearFrom) : pDataInfo->lPeriodFrom));
    std::snprintf(to, sizeof to, "%ld", static_cast<long>(bSaved ? packed::IntAt(save, kSavedYearTo) : pDataInfo->lPeriodTo));
    if (pDataInfo->byOrgKind == 0 || pDataInfo->byOrgKind == 1) {
        kind = "1";
    } else if (pDataInfo->byOrgKind == 3 || pDataInfo->byOrgKind == 4) {
        kind = "2";
    }
    if (bSaved) {
        keika = save[kSavedKeikaSochi] != 0 ? "1" : "2";
        niwari = save[kSavedNiwariTokurei] != 0 ? "1" : "2";
    } else {
        keika = HasKeikaSochiAmounts() == 1 ? "1" : "2";
        niwari = static_cast<BYTE>(bNiwariTokurei) == 1 ? "1" : "2";
    }

    if (!pWriter->WriteStartElement(line, "BASIC", kLevelSection)) return 0;
    const int first = tagidx::kBasicFirst;
    if (!pWriter->WriteElement(line, TagNameTable[first + 0], ToZenkakuText32(company.c_str()), kLevelValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 1], from, kLevelValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 2], to, kLevelValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 3], kind, kLevelValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 4], m_nKazeiKubun == 2 ? "1" : "2", kLevelValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 5], keika, kLevelValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 6], niwari, kLevelValue)) return 0;
    return pWriter->WriteEndElement(line, "BASIC", kLevelSection) ? 1 : 0;
}
