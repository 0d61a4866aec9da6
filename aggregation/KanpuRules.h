// The fixed rules of the refund-statement totals: which attribute codes an
// account list selects, which row an account summary or a journal side of a
// corporation goes to, which blocks an individual's amount goes to, which tax
// codes a journal side counts with, and what the run's month-range condition
// says about its month slots. Pure functions, no state.
#pragma once

#include "win32/Windows.h"
#include "suite/FindInfo.h"
#include "suite/RuleTypes.h"

class KanpuRules {
public:
    // --- account lists ---------------------------------------------------------
    enum { KAMOKULIST_HOJIN = 2, KAMOKULIST_KOJIN = 3 };
    // The attribute codes of a list type in the order the list condition
    // names them; null (and *pCount 0) for another type.
    static const DWORD* KamokuListCodes(short nType, int* pCount);

    // --- corporation -----------------------------------------------------------
    // Rows of the corporation's refund statement.
    enum { HOJIN_NONE = -1, HOJIN_SHOHIN = 0, HOJIN_HANBAI = 1, HOJIN_EIGYOGAI = 2, HOJIN_SONOTA = 3 };
    // Row of a journal side by its account's attribute code.
    static int HojinShiwakeRow(DWORD dwZokusei);
    // Row of an account summary by attribute code and its byte 127; *pStore
    // tells whether the value replaces the row's amount (true) or is added.
    static int HojinKamokuRow(DWORD dwZokusei, BYTE byFlag127, bool* pStore);

    // --- individual ------------------------------------------------------------
    enum { KOJIN_NONE = 0, KOJIN_SHIIRE = 1, KOJIN_HITSUYOU = 2 };
    // Purchase codes, expense codes, or neither.
    static int KojinGroup(DWORD dwZokusei);
    // The rules an amount satisfies, as a set of bits: business, real estate,
    // other income. Several may be set; the amount then counts in each.
    enum { RULE_JIGYO = 0x1, RULE_FUDOUSAN = 0x2, RULE_SONOTA = 0x4 };
    // `pBumon` null: no department (the dataset has none, or the account
    // summaries of the whole dataset).
    static unsigned KojinRules(BYTE byIncomeKinds, const StBUMONINFO* pBumon);

    // --- tax codes of journal sides ----------------------------------------------
    // Counted in [1]: 20 or lower, 24, or 30 and higher.
    static bool IsKanpuZeiCode(BYTE byZeiCode) { return byZeiCode <= 20 || byZeiCode == 24 || byZeiCode >= 30; }
    // Counted in [2] as well: the undetermined import codes 31 to 37.
    static bool IsMiteiYunyuZeiCode(BYTE byZeiCode) { return byZeiCode >= 31 && byZeiCode <= 37; }

    // --- the run's month-range condition -----------------------------------------
    // Month kinds of its first and second term.
    static short StartMonthKind(const StFINDINFO* pFind) { return pFind[0].nValue; }
    static short EndMonthKind(const StFINDINFO* pFind) { return pFind[1].nValue; }
    // Whether it includes the year-end closing: a month-kind term of value 18
    // after the second term, that is the third, or the fourth when the
    // half-year term precedes it.
    static bool IncludesYearEnd(const StFINDINFO* pFind);
};
