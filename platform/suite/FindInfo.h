// The search condition of the suite library: a run of byte-packed terms read
// in order and joined by their connectors, the last term having connector 0.
// A condition is handed over as a pointer to its first term; a term of field
// FINDITEM_NEST holds a pointer to the first term of another condition, which
// stands in parentheses at that place.
//
// Width: the nested-condition field is a pointer, and pointers are 8 bytes on
// this platform. A term is therefore 30 bytes plus a pointer (38 bytes), the
// connector sits at offset 34 instead of 30, and the run's four-term
// condition is 4 x 38 = 152 bytes. The field order is unchanged; code that
// needs the sizes uses sizeof(StFINDINFO) and FINDINFO_RUN_TERMS, never
// literal byte counts.
//
// Connectors bind as in SQL: AND before OR, so "A AND B OR C" means
// "(A AND B) OR C". The month-range condition "s <= kind AND kind <= e OR
// kind = 15 OR kind = 18" reads as intended under this rule.
#pragma once

#include <cstddef>
#include <cstdint>

// Field codes.
enum {
    FINDITEM_ZEICODE = 3,       // tax code of an entry side (side 1 or 2)
    FINDITEM_ZOKUSEI = 16,      // attribute code of an account
    FINDITEM_MONTHKIND = 17,    // month kind of an entry (1 to 12, 15, 18)
    FINDITEM_SHUTOKUDATE = 203, // acquisition date of a fixed asset (yyyymmdd)
    FINDITEM_NEST = 999,        // nested condition
};

// Sides of an entry-side field.
enum { FINDSIDE_NONE = 0, FINDSIDE_KARI = 1, FINDSIDE_KASHI = 2 };

// Comparisons. 2 and 3 complete the set; the program itself uses 1, 4, 5, 6.
enum {
    FINDCMP_EQ = 1,
    FINDCMP_NE = 2,
    FINDCMP_GT = 3,
    FINDCMP_GE = 4,
    FINDCMP_LT = 5,
    FINDCMP_LE = 6,
};

// Value types.
enum {
    FINDVAL_SHORT = 2,   // signed 16-bit value in the first two value bytes
    FINDVAL_LONG = 3,    // signed 32-bit value
    FINDVAL_ZOKUSEI = 19 // 32-bit attribute code, compared unsigned
};

// Connectors to the next term.
enum { FINDCON_END = 0, FINDCON_AND = 1, FINDCON_OR = 2 };

#pragma pack(push, 1)
// One term.
struct StFINDINFO {
    int32_t lItem;          // 0  field code
    int16_t nSide;          // 4  1 debit, 2 credit for entry-side fields, else 0
    int16_t nCompare;       // 6  comparison
    uint8_t zero1[2];       // 8
    int16_t nValueType;     // 10 value type
    uint8_t zero2[6];       // 12
    union {
        int32_t lValue;     // 18 FINDVAL_LONG, FINDVAL_ZOKUSEI
        int16_t nValue;     //    FINDVAL_SHORT (the other two bytes stay 0)
    };
    uint8_t zero3[4];       // 22
    StFINDINFO* pNest;      // 26 nested condition for FINDITEM_NEST, else null
    int16_t nConnect;       // 26 + pointer: connector to the next term
    uint8_t zero4[2];
};
#pragma pack(pop)

static_assert(offsetof(StFINDINFO, lItem) == 0);
static_assert(offsetof(StFINDINFO, nSide) == 4);
static_assert(offsetof(StFINDINFO, nCompare) == 6);
static_assert(offsetof(StFINDINFO, nValueType) == 10);
static_assert(offsetof(StFINDINFO, lValue) == 18);
static_assert(offsetof(StFINDINFO, nValue) == 18);
static_assert(offsetof(StFINDINFO, pNest) == 26);
static_assert(offsetof(StFINDINFO, nConnect) == 26 + sizeof(void*));
static_assert(sizeof(StFINDINFO) == 30 + sizeof(void*));

// Terms of the run's month-range condition.
enum { FINDINFO_RUN_TERMS = 4 };
static_assert(sizeof(StFINDINFO[FINDINFO_RUN_TERMS]) == 4 * (30 + sizeof(void*)));
