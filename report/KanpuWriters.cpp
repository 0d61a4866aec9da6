// The refund-statement blocks of DATA: KANPUH (a corporation) and KANPUK (an
// individual), each written in every export with all its names, and carrying
// numbers only for the organisation kind (and, but for KANPUH in the
// aggregation mode, only under 原則課税).
//
// In the aggregation mode the amounts are the totals the aggregation left in
// the run's figures; the individual's rows that carry values write a
// zero as "0", and the income kinds of the dataset decide which rows those
// are. In the saved-values mode one block of sixteen saved amounts feeds both
// blocks, and a zero is empty like everywhere else in DATA.
#include "report/KanpuWriters.h"

#include "app/YenRounding.h"
#include "report/CXmlWriter.h"
#include "report/DataFromShiwake.h"
#include "report/LinkLevels.h"
#include "report/RecordFields.h"
#include "report/TagNameTable.h"
#include "suite/SuiteRecords.h"

#include <cstdio>
#include <cstring>

namespace {

// The saved refund-statement amounts and their tax-class bytes.
constexpr int kSavedKanpuAmounts = 9868;   // 16 amounts, 8 bytes each
constexpr int kSavedClassKojin = 9865;
constexpr int kSavedClassHojinKessan = 9866;
constexpr int kSavedClassHojinShisan = 9867;

bool IsCorporation(const StDATAINFO* pDataInfo) { return pDataInfo->byOrgKind == 0 || pDataInfo->byOrgKind == 1; }
bool IsIndividual(const StDATAINFO* pDataInfo) { return pDataInfo->byOrgKind == 3 || pDataInfo->byOrgKind == 4; }

// "1" for tax-included books, "2" for tax-excluded ones.
const char* ClassFromSettings(const StSHOHIZEIINFO* pShohizeiInfo) { return pShohizeiInfo->byZeikomi != 0 ? "1" : "2"; }
const char* ClassFromSaved(BYTE saved) { return saved == 2 ? "2" : "1"; }

__int64 SavedAmount(const BYTE* save, int slot) { return packed::AmountAt(save, kSavedKanpuAmounts + 8 * slot); }

bool AnySaved(const BYTE* save, int first, int count)
{
    return packed::AnyAmountAt(save, kSavedKanpuAmounts + 8 * first, count);
}

// Every name of a block with empty text, between its tags.
int WriteEmptyBlock(CXmlWriter* pWriter, LPSTR line, const char* block, int first, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!pWriter->WriteElement(line, TagNameTable[first + i], "", linklevel::kFormValue)) return 0;
    }
    return pWriter->WriteEndElement(line, block, linklevel::kForm) ? 1 : 0;
}

}  // namespace

namespace linkfile {

int WriteKanpuH(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo,
                const StSHOHIZEIINFO* pShohizeiInfo)
{
    const BYTE hasu = figures.nHasuMode;
    char line[CXmlWriter::kLineBufferSize] = {};
    if (!pWriter->WriteStartElement(line, "KANPUH", linklevel::kForm)) return 0;
    const int first = tagidx::kKanpuHFirst;
    if (IsIndividual(pDataInfo)) {
        return WriteEmptyBlock(pWriter, line, "KANPUH", first, tagidx::kKanpuHCount);
    }

    const AccumBlock* rows[] = {&figures.abShohinShiire, &figures.abHanbaiIppan, &figures.abEigyogaiHiyou,
                                &figures.abSonotaSoneki};
    bool bAnyRow = false;
    for (const AccumBlock* row : rows) {
        bAnyRow = bAnyRow || row->llAmount[0] != 0 || row->llAmount[1] != 0;
    }
    if (!pWriter->WriteElement(line, TagNameTable[first], bAnyRow ? ClassFromSettings(pShohizeiInfo) : "", linklevel::kFormValue)) {
        return 0;
    }
    int index = first + 1;
    for (const AccumBlock* row : rows) {
        for (int k = 0; k < 2; ++k) {
            if (!WriteKingakuElement(pWriter, line, TagNameTable[index++], row->llAmount[k], 0, hasu)) return 0;
        }
    }

    const bool bAnyAsset = figures.llKoteiShisan != 0 || figures.llKurinobeShisan != 0;
    if (!pWriter->WriteElement(line, TagNameTable[index++], bAnyAsset ? ClassFromSettings(pShohizeiInfo) : "",
                               linklevel::kFormValue)) {
        return 0;
    }
    // KOTEISHISAN1, KOTEISHISAN2, KURINOBESHISAN1, KURINOBESHISAN2,
    // SONOTASISAN1, SONOTASISAN2: only the two acquisitions are aggregated.
    const struct {
        __int64 amount;
        bool blank;
    } assets[] = {{figures.llKoteiShisan, false},     {0, true}, {figures.llKurinobeShisan, false},
                  {0, true},                         {0, true}, {0, true}};
    for (const auto& asset : assets) {
        if (!WriteKingakuElement(pWriter, line, TagNameTable[index++], asset.amount, asset.blank, hasu)) return 0;
    }
    return pWriter->WriteEndElement(line, "KANPUH", linklevel::kForm) ? 1 : 0;
}

int WriteKanpuK(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo,
                const StSHOHIZEIINFO* pShohizeiInfo)
{
    // The income kinds decide which rows carry values: business rows (bits
    // 2), real-estate rows (1) and other rows (3) pass when they share no bit
    // with the mask.
    int mask = 0;
    switch (pDataInfo->byIncomeKinds) {
    case 1: mask = 1; break;
    case 2: mask = 2; break;
    case 3: case 4: case 5: case 6: mask = 4; break;
    default: mask = 0; break;
    }

    char line[CXmlWriter::kLineBufferSize] = {};
    if (!pWriter->WriteStartElement(line, "KANPUK", linklevel::kForm)) return 0;
    const int first = tagidx::kKanpuKFirst;
    if (IsCorporation(pDataInfo) || figures.nKazeiKubun != 2) {
        return WriteEmptyBlock(pWriter, line, "KANPUK", first, tagidx::kKanpuKCount);
    }

    const AccumBlock* blocks[] = {&figures.abJigyoShiire,         &figures.abJigyoHitsuyou,
                                  &figures.abJigyoKoteiShisan,    &figures.abFudousanHitsuyou,
                                  &figures.abFudousanKoteiShisan, &figures.abSonotaShiire,
                                  &figures.abSonotaHitsuyou,      &figures.abSonotaKoteiShisan};
    bool bAny = false;
    for (const AccumBlock* block : blocks) {
        bAny = bAny || block->llAmount[0] != 0 || block->llAmount[1] != 0;
    }
    if (!pWriter->WriteElement(line, TagNameTable[first], bAny ? ClassFromSettings(pShohizeiInfo) : "", linklevel::kFormValue)) {
        return 0;
    }

    // The sixteen rows: two per block, with their write flag and kind bits.
    static const struct {
        int flag;
        int bits;
    } kRows[16] = {
        {1, 2}, {1, 2}, {1, 2}, {1, 2}, {1, 2}, {0, 2},  // JIGYOSHIIRE1 .. JIGYOKOTEISHISAN2
        {1, 1}, {1, 1}, {1, 1}, {0, 1},                  // FUDOUSANHITSUYOU1 .. FUDOUSANKOTEISHISAN2
        {1, 3}, {1, 3}, {1, 3}, {1, 3}, {0, 3}, {0, 3},  // SONOTASHIIRE1 .. SONOTAKOTEISHISAN2
    };
    for (int i = 0; i < 16; ++i) {
        char value[CXmlWriter::kLineBufferSize] = {};
        if (kRows[i].flag == 1 && (mask & kRows[i].bits) == 0) {
            const __int64 yen = RoundYen(blocks[i / 2]->llAmount[i % 2], figures.nHasuMode);
            std::snprintf(value, sizeof value, "%lld", static_cast<long long>(yen));
        }
        if (!pWriter->WriteElement(line, TagNameTable[first + 1 + i], value, linklevel::kFormValue)) return 0;
    }
    return pWriter->WriteEndElement(line, "KANPUK", linklevel::kForm) ? 1 : 0;
}

int WriteKanpuHFromSaveInfo(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo)
{
    const BYTE hasu = figures.nHasuMode;
    char line[CXmlWriter::kLineBufferSize] = {};
    if (!pWriter->WriteStartElement(line, "KANPUH", linklevel::kForm)) return 0;
    const int first = tagidx::kKanpuHFirst;
    const BYTE* save = figures.pSaveTaxInfo;
    if (save == nullptr || IsIndividual(pDataInfo) || figures.nKazeiKubun != 2) {
        return WriteEmptyBlock(pWriter, line, "KANPUH", first, tagidx::kKanpuHCount);
    }

    // Slots 0 to 7 the settlement rows, 8 to 13 the assets.
    if (!pWriter->WriteElement(line, TagNameTable[first],
                               AnySaved(save, 0, 8) ? ClassFromSaved(save[kSavedClassHojinKessan]) : "", linklevel::kFormValue)) {
        return 0;
    }
    for (int slot = 0; slot < 8; ++slot) {
        if (!WriteKingakuElement(pWriter, line, TagNameTable[first + 1 + slot], SavedAmount(save, slot), 0, hasu)) return 0;
    }
    if (!pWriter->WriteElement(line, TagNameTable[first + 9],
                               AnySaved(save, 8, 6) ? ClassFromSaved(save[kSavedClassHojinShisan]) : "", linklevel::kFormValue)) {
        return 0;
    }
    for (int slot = 8; slot < 14; ++slot) {
        if (!WriteKingakuElement(pWriter, line, TagNameTable[first + 2 + slot], SavedAmount(save, slot), 0, hasu)) return 0;
    }
    return pWriter->WriteEndElement(line, "KANPUH", linklevel::kForm) ? 1 : 0;
}

int WriteKanpuKFromSaveInfo(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo)
{
    const BYTE hasu = figures.nHasuMode;
    char line[CXmlWriter::kLineBufferSize] = {};
    if (!pWriter->WriteStartElement(line, "KANPUK", linklevel::kForm)) return 0;
    const int first = tagidx::kKanpuKFirst;
    const BYTE* save = figures.pSaveTaxInfo;
    if (save == nullptr || IsCorporation(pDataInfo) || figures.nKazeiKubun != 2) {
        return WriteEmptyBlock(pWriter, line, "KANPUK", first, tagidx::kKanpuKCount);
    }

    if (!pWriter->WriteElement(line, TagNameTable[first],
                               AnySaved(save, 0, 16) ? ClassFromSaved(save[kSavedClassKojin]) : "", linklevel::kFormValue)) {
        return 0;
    }
    for (int slot = 0; slot < 16; ++slot) {
        if (!WriteKingakuElement(pWriter, line, TagNameTable[first + 1 + slot], SavedAmount(save, slot), 0, hasu)) return 0;
    }
    return pWriter->WriteEndElement(line, "KANPUK", linklevel::kForm) ? 1 : 0;
}

}  // namespace linkfile
