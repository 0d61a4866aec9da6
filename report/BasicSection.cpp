// The BASIC section of the link file: company name, fiscal year, corporation
// or individual, taxation kind, transitional-rate amounts and 「2割特例」.
#include "report/BasicSection.h"

#include "report/CXmlWriter.h"
#include "report/LinkLevels.h"
#include "report/RecordFields.h"
#include "report/TagNameTable.h"
#include "suite/ClDataMgr.h"
#include "suite/ClSetMgr.h"
#include "suite/ClSetShohizei.h"
#include "suite/RuleTypes.h"
#include "suite/SuiteRecords.h"
#include "win32/Mbcs.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The company name's limit in the file, in bytes.
constexpr size_t kZenkakuLimit = 32;

// Fields of the saved values that BASIC reads.
constexpr int kSavedKeikaSochi = offsetof(StSaveTaxInfo, byKeikaSochi);
constexpr int kSavedYearFrom = offsetof(StSaveTaxInfo, lYearFrom);
constexpr int kSavedYearTo = offsetof(StSaveTaxInfo, lYearTo);
constexpr int kSavedNiwariTokurei = offsetof(StSaveTaxInfo, byNiwariTokurei);

// The amounts HasKeikaSochiAmounts examines: every amount of a rate record
// from the taxable sales to the bad debts collected, and the six of a kind
// record.
constexpr int kRateAmountsFirst = offsetof(StTAXREPORTRATEINFO, llKazeiUriageNuki);
constexpr int kRateAmountsCount =
    (offsetof(StTAXREPORTRATEINFO, llKashidaoreKaishuKomi) - kRateAmountsFirst) / sizeof(int64_t) + 1;
constexpr int kKindAmountsFirst = offsetof(StTAXREPORTBUSINESSTYPEINFO, llUriageKomi);
constexpr int kKindAmountsCount =
    (offsetof(StTAXREPORTBUSINESSTYPEINFO, llHenkanNuki) - kKindAmountsFirst) / sizeof(int64_t) + 1;
static_assert(kRateAmountsCount == 55 && kKindAmountsCount == 6);

// The records HasKeikaSochiAmounts examines never go beyond the five rates
// the summation fills.
constexpr int kSummedRates = 5;

}  // namespace

namespace linkfile {

LPCTSTR ToZenkakuText32(LPCTSTR lpszText)
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

int HasKeikaSochiAmounts(const RunFigures& figures)
{
    auto* pSettings = static_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(ClSetMgr::SETKIND_SHOHIZEI, 1));
    if (pSettings == nullptr || figures.pRateInfo == nullptr || figures.pBusinessTypeInfo == nullptr) {
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
            const StTAXREPORTRATEINFO& record = figures.pRateInfo[group * n + rate];
            int32_t zeiRate;
            std::memcpy(&zeiRate, &record.lZeiRate, sizeof zeiRate);
            if (zeiRate == 1000 || (zeiRate == 800 && record.byKeigen == 1)) {
                continue;
            }
            if (packed::AnyAmountAt(&record, kRateAmountsFirst, kRateAmountsCount)) {
                return 1;
            }
        }
    }
    // The business kinds of the third rate (8 %) onwards.
    if (n > 2) {
        for (int index = 12; index < 6 * rates; ++index) {
            if (packed::AnyAmountAt(&figures.pBusinessTypeInfo[index], kKindAmountsFirst, kKindAmountsCount)) {
                return 1;
            }
        }
    }
    return 0;
}

int WriteBasicSection(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo, int nMode,
                      int bNiwariTokurei)
{
    const bool bSaved = (nMode == 1);
    const BYTE* save = figures.pSaveTaxInfo;
    if (bSaved && save == nullptr) {
        return 0;
    }

    char line[CXmlWriter::kLineBufferSize] = {};
    char from[CXmlWriter::kLineBufferSize] = {};
    char to[CXmlWriter::kLineBufferSize] = {};
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
        keika = HasKeikaSochiAmounts(figures) == 1 ? "1" : "2";
        niwari = static_cast<BYTE>(bNiwariTokurei) == 1 ? "1" : "2";
    }

    if (!pWriter->WriteStartElement(line, "BASIC", linklevel::kSection)) return 0;
    const int first = tagidx::kBasicFirst;
    if (!pWriter->WriteElement(line, TagNameTable[first + 0], ToZenkakuText32(company.c_str()), linklevel::kSectionValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 1], from, linklevel::kSectionValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 2], to, linklevel::kSectionValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 3], kind, linklevel::kSectionValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 4], figures.nKazeiKubun == 2 ? "1" : "2", linklevel::kSectionValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 5], keika, linklevel::kSectionValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 6], niwari, linklevel::kSectionValue)) return 0;
    return pWriter->WriteEndElement(line, "BASIC", linklevel::kSection) ? 1 : 0;
}

}  // namespace linkfile
