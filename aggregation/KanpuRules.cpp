#include "aggregation/KanpuRules.h"

#include <iterator>

namespace {

// The corporation's list, in the order of its condition.
const DWORD kHojinListCodes[] = {
    0x40884400, 0x20804000, 0x20400000, 0x20200000, 0x40882000, 0x40844000, 0x40440000, 0x40440040,
    0x40440080, 0x40882040, 0x40882020, 0x40882010, 0x40882008, 0x40882004, 0x20200040, 0x20400008,
    0x20400004, 0x20040000, 0x80881080, 0x80881040, 0x80881020, 0x80881010, 0x80881008,
};

// The individual's list: the thirteen purchase and eleven expense codes.
const DWORD kKojinListCodes[] = {
    0x40884400, 0x20804000, 0x20400000, 0x20200000, 0x40882000, 0x40882040, 0x40882020, 0x40882010,
    0x40882008, 0x40882004, 0x40844000, 0x40844080, 0x40440000, 0x40440080, 0x40440040, 0x20200040,
    0x20400008, 0x20400004, 0x20040000, 0x80881080, 0x80881040, 0x80881020, 0x80881010, 0x80881008,
};

// Purchases of goods: the same thirteen codes in both passes of a
// corporation, and the individual's purchase codes.
const DWORD kShiireCodes[] = {
    0x40884400, 0x20804000, 0x20400000, 0x20040000, 0x80881080, 0x80881040, 0x80881020,
    0x80881010, 0x80881008, 0x20400008, 0x20400004, 0x20200000, 0x20200040,
};
const DWORD kHanbaiCodes[] = {0x40882000, 0x40882040, 0x40882020, 0x40882010, 0x40882008, 0x40882004};
const DWORD kEigyogaiCodes[] = {0x40844000};
const DWORD kSonotaCodes[] = {0x40440000, 0x40440040, 0x40440080};
// The individual's expense codes.
const DWORD kHitsuyouCodes[] = {
    0x40440000, 0x40440040, 0x40440080, 0x40844000, 0x40844080, 0x40882000,
    0x40882004, 0x40882008, 0x40882010, 0x40882020, 0x40882040,
};

template <size_t N>
bool Contains(const DWORD (&codes)[N], DWORD code)
{
    for (DWORD c : codes) {
        if (c == code) {
            return true;
        }
    }
    return false;
}

bool IsMonthKindTerm(const StFINDINFO& term, short nKind)
{
    return term.lItem == FINDITEM_MONTHKIND && term.nValueType == FINDVAL_SHORT && term.nValue == nKind;
}

} // namespace

const DWORD* KanpuRules::KamokuListCodes(short nType, int* pCount)
{
    switch (nType) {
    case KAMOKULIST_HOJIN:
        *pCount = static_cast<int>(std::size(kHojinListCodes));
        return kHojinListCodes;
    case KAMOKULIST_KOJIN:
        *pCount = static_cast<int>(std::size(kKojinListCodes));
        return kKojinListCodes;
    default:
        *pCount = 0;
        return nullptr;
    }
}

int KanpuRules::HojinShiwakeRow(DWORD dwZokusei)
{
    if (Contains(kShiireCodes, dwZokusei)) {
        return HOJIN_SHOHIN;
    }
    if (Contains(kHanbaiCodes, dwZokusei)) {
        return HOJIN_HANBAI;
    }
    if (Contains(kEigyogaiCodes, dwZokusei)) {
        return HOJIN_EIGYOGAI;
    }
    if (Contains(kSonotaCodes, dwZokusei)) {
        return HOJIN_SONOTA;
    }
    return HOJIN_NONE;
}

// The settlement amounts: the purchase of goods proper (0x40884400) counts
// its summaries marked 1 in byte 127, the other purchase codes the summaries
// not so marked; the three total codes of the other rows take the one
// summary marked 1 (the last one read when several are).
int KanpuRules::HojinKamokuRow(DWORD dwZokusei, BYTE byFlag127, bool* pStore)
{
    *pStore = false;
    if (dwZokusei == 0x40884400) {
        return byFlag127 == 1 ? HOJIN_SHOHIN : HOJIN_NONE;
    }
    if (Contains(kShiireCodes, dwZokusei)) {
        return byFlag127 != 1 ? HOJIN_SHOHIN : HOJIN_NONE;
    }
    if (byFlag127 != 1) {
        return HOJIN_NONE;
    }
    int row = HOJIN_NONE;
    switch (dwZokusei) {
    case 0x40882000:
        row = HOJIN_HANBAI;
        break;
    case 0x40844000:
        row = HOJIN_EIGYOGAI;
        break;
    case 0x40440000:
        row = HOJIN_SONOTA;
        break;
    default:
        return HOJIN_NONE;
    }
    *pStore = true;
    return row;
}

int KanpuRules::KojinGroup(DWORD dwZokusei)
{
    if (Contains(kShiireCodes, dwZokusei)) {
        return KOJIN_SHIIRE;
    }
    if (Contains(kHitsuyouCodes, dwZokusei)) {
        return KOJIN_HITSUYOU;
    }
    return KOJIN_NONE;
}

unsigned KanpuRules::KojinRules(BYTE byIncomeKinds, const StBUMONINFO* pBumon)
{
    switch (byIncomeKinds) {
    case 1:
        return RULE_JIGYO;
    case 2:
        return RULE_FUDOUSAN;
    case 3:
    case 4:
    case 5:
    case 6:
        break;
    default:
        return 0;
    }
    if (pBumon == nullptr) {
        return RULE_JIGYO;
    }
    const BYTE category = pBumon->byCategory;
    const bool kind1Unlinked = pBumon->byKind == 1 && pBumon->lLink == 0;
    const bool kind1Linked = pBumon->byKind == 1 && pBumon->lLink != 0;
    const bool kind2 = pBumon->byKind == 2;
    const bool jigyoCategory = category == 1 || category == 8;

    unsigned rules = 0;
    if ((jigyoCategory || kind1Unlinked) && !kind2) {
        rules |= RULE_JIGYO;
    }
    if (category == 3 && !kind2) {
        rules |= RULE_FUDOUSAN;
    }
    if ((!jigyoCategory && category != 3 && !kind1Unlinked) || kind1Linked || kind2) {
        rules |= RULE_SONOTA;
    }
    return rules;
}

bool KanpuRules::IncludesYearEnd(const StFINDINFO* pFind)
{
    if (pFind[1].nConnect == FINDCON_END) {
        return false;
    }
    if (IsMonthKindTerm(pFind[2], 18)) {
        return true;
    }
    return IsMonthKindTerm(pFind[2], 15) && pFind[2].nConnect != FINDCON_END && IsMonthKindTerm(pFind[3], 18);
}
