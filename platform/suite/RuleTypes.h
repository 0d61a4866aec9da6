// Records of the rule side of the suite library: journal entries, accounts,
// account summaries, departments, fixed assets and the tax-report records that
// the tax summation fills. All are byte-packed; callers zero a record before
// the library fills it.
//
// Offsets marked "(read)" are the ones the program reads and must never move.
// Every other byte is the library's own: where the stand-in needs to hand more
// out (names, dates, the side's rate and invoice class) it uses bytes the
// program leaves alone, and documents them here; all remaining bytes stay 0.
#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

// One side (debit or credit) of a journal entry, 45 bytes.
struct StSWKTSIDE {
    int32_t lKamokuCode;     // +0  account code (read)
    int32_t lBumonCode;      // +4  department code, 0 = none (read)
    int64_t llKingaku;       // +8  amount without tax, raw 1/10000 yen (read)
    int64_t llZeigaku;       // +16 tax amount, raw (read)
    uint8_t byZeiCode;       // +24 tax code (read); see TAXCODES.md
    int32_t lZeiRate;        // +25 tax rate x 100 (1000, 800, 500, 300), 0 = none stored
    uint8_t byKeigen;        // +29 1 when the rate is the reduced 8 %
    uint8_t byJigyoKubun;    // +30 business kind 1 to 6, 0 = none
    uint8_t byInvoice;       // +31 invoice class: 0 qualified, 1 80 % transitional, 2 50 % transitional
    uint8_t reserved[13];    // +32
};
static_assert(sizeof(StSWKTSIDE) == 45);
static_assert(offsetof(StSWKTSIDE, lBumonCode) == 4);
static_assert(offsetof(StSWKTSIDE, llKingaku) == 8);
static_assert(offsetof(StSWKTSIDE, llZeigaku) == 16);
static_assert(offsetof(StSWKTSIDE, byZeiCode) == 24);

// One journal entry, 604 bytes.
struct StSWKTINFO {
    int32_t lSwkNo;          // 0   entry number (the store's key)
    int32_t lDate;           // 4   date, yyyymmdd
    int16_t nMonthKind;      // 8   month kind of the date (1 to 12, 15, 18)
    uint8_t reserved1[78];   // 10
    StSWKTSIDE kari;         // 88  debit side (read)
    StSWKTSIDE kashi;        // 133 credit side (read)
    uint8_t reserved2[426];  // 178
};
static_assert(sizeof(StSWKTINFO) == 604);
static_assert(offsetof(StSWKTINFO, kari) == 88);
static_assert(offsetof(StSWKTINFO, kari) + offsetof(StSWKTSIDE, lKamokuCode) == 88);
static_assert(offsetof(StSWKTINFO, kari) + offsetof(StSWKTSIDE, lBumonCode) == 92);
static_assert(offsetof(StSWKTINFO, kari) + offsetof(StSWKTSIDE, llKingaku) == 96);
static_assert(offsetof(StSWKTINFO, kari) + offsetof(StSWKTSIDE, llZeigaku) == 104);
static_assert(offsetof(StSWKTINFO, kari) + offsetof(StSWKTSIDE, byZeiCode) == 112);
static_assert(offsetof(StSWKTINFO, kashi) == 133);
static_assert(offsetof(StSWKTINFO, kashi) + offsetof(StSWKTSIDE, lBumonCode) == 137);
static_assert(offsetof(StSWKTINFO, kashi) + offsetof(StSWKTSIDE, llKingaku) == 141);
static_assert(offsetof(StSWKTINFO, kashi) + offsetof(StSWKTSIDE, llZeigaku) == 149);
static_assert(offsetof(StSWKTINFO, kashi) + offsetof(StSWKTSIDE, byZeiCode) == 157);

// One account of the account master, 221 bytes.
struct StKAMOKUINFO {
    uint8_t reserved1[16];   // 0
    int32_t lKamokuCode;     // 16  account code (read)
    char szName[64];         // 20  account name, code page 932, NUL-terminated
    uint8_t reserved2[26];   // 84
    uint8_t byExclude;       // 110 non-zero: left out of account lists (read)
    uint8_t byTaishakuKubun; // 111 balance side: 1 debit, 2 credit
    uint8_t reserved3[32];   // 112
    uint32_t ulZokusei;      // 144 attribute code (read)
    uint8_t reserved4[73];   // 148
};
static_assert(sizeof(StKAMOKUINFO) == 221);
static_assert(offsetof(StKAMOKUINFO, lKamokuCode) == 16);
static_assert(offsetof(StKAMOKUINFO, byExclude) == 110);
static_assert(offsetof(StKAMOKUINFO, ulZokusei) == 144);

// Month slots of an account summary: 1 to 12 the month kinds 1 to 12, 13 the
// year-end closing (kind 18), 14 the half-year closing (kind 15). A fiscal
// year of fewer than twelve months (n) has its year-end closing in slot n + 1
// as well, the slot after its last month, which it has no month for; a
// reader takes it from one of the two, never both. Slot 0 is not filled by
// the stand-in (it keeps no opening balances).
enum { KAMOKUSUM_SLOTS = 15, KAMOKUSUM_SLOT_KESSAN = 13, KAMOKUSUM_SLOT_CHUKAN = 14 };

// One account summary, 636 bytes.
struct StKAMOKUSUMINFO {
    uint8_t reserved1[16];   // 0
    int32_t lKamokuCode;     // 16  account code
    char szName[64];         // 20  account name
    uint8_t reserved2[42];   // 84
    uint8_t byFlag1;         // 126 skip flag (read)
    uint8_t byFlag2;         // 127 row-selection flag (read)
    uint8_t byFlag3;         // 128 skip flag (read)
    uint8_t reserved3;       // 129
    uint8_t byTaishakuKubun; // 130 balance side: 1 debit, 2 credit (read)
    uint8_t reserved4[5];    // 131
    uint32_t ulZokusei;      // 136 attribute code (read)
    int32_t lBumonCode;      // 140 department summed, 0 = all
    uint8_t reserved5[8];    // 144
    int64_t llKariNuki[KAMOKUSUM_SLOTS];   // 152 debit, tax-excluded (read)
    int64_t llKariKomi[KAMOKUSUM_SLOTS];   // 272 debit, tax-included (read)
    int64_t llKashiNuki[KAMOKUSUM_SLOTS];  // 392 credit, tax-excluded (read)
    int64_t llKashiKomi[KAMOKUSUM_SLOTS];  // 512 credit, tax-included (read)
    uint8_t reserved6[4];    // 632
};
static_assert(sizeof(StKAMOKUSUMINFO) == 636);
static_assert(offsetof(StKAMOKUSUMINFO, byFlag1) == 126);
static_assert(offsetof(StKAMOKUSUMINFO, byFlag2) == 127);
static_assert(offsetof(StKAMOKUSUMINFO, byFlag3) == 128);
static_assert(offsetof(StKAMOKUSUMINFO, byTaishakuKubun) == 130);
static_assert(offsetof(StKAMOKUSUMINFO, ulZokusei) == 136);
static_assert(offsetof(StKAMOKUSUMINFO, llKariNuki) == 152);
static_assert(offsetof(StKAMOKUSUMINFO, llKariKomi) == 272);
static_assert(offsetof(StKAMOKUSUMINFO, llKashiNuki) == 392);
static_assert(offsetof(StKAMOKUSUMINFO, llKashiKomi) == 512);

// One department, 160 bytes.
struct StBUMONINFO {
    int32_t lBumonCode;      // 0   department code
    uint8_t reserved1[12];   // 4
    int32_t lLink;           // 16  link value (read)
    char szName[56];         // 20  department name
    uint8_t reserved2[3];    // 76
    uint8_t byKind;          // 79  department kind 0, 1 or 2 (read)
    uint8_t reserved3[48];   // 80
    uint8_t byCategory;      // 128 category: 1 and 8 business, 3 real estate (read)
    uint8_t reserved4[31];   // 129
};
static_assert(sizeof(StBUMONINFO) == 160);
static_assert(offsetof(StBUMONINFO, lLink) == 16);
static_assert(offsetof(StBUMONINFO, byKind) == 79);
static_assert(offsetof(StBUMONINFO, byCategory) == 128);

// Asset classes and income classes of the fixed-asset register.
enum { KOTEI_CLASS_KURINOBE = 9 };

// One fixed asset, 545 bytes.
struct StKOTEISHISANINFO {
    int32_t lShisanCode;     // 0   asset code
    int32_t lShutokuDate;    // 4   acquisition date, yyyymmdd
    char szName[40];         // 8   asset name
    int32_t lShisanKubun;    // 48  asset class; 9 deferred asset (read)
    uint8_t reserved1[316];  // 52
    int64_t llShutokuKingaku;// 368 acquisition amount, raw (read)
    uint8_t reserved2[152];  // 376
    int16_t nShotokuKubun;   // 528 income class: 1 and 3 business, 2 real estate (read)
    uint8_t reserved3[15];   // 530
};
static_assert(sizeof(StKOTEISHISANINFO) == 545);
static_assert(offsetof(StKOTEISHISANINFO, lShisanKubun) == 48);
static_assert(offsetof(StKOTEISHISANINFO, llShutokuKingaku) == 368);
static_assert(offsetof(StKOTEISHISANINFO, nShotokuKubun) == 528);

// The asset's year record, filled alongside the asset; the program does not
// read it. The stand-in keeps no depreciation schedule and fills only the head.
struct StKOTEINENINFO {
    int32_t lShisanCode;     // 0
    int32_t lShutokuDate;    // 4
    int64_t llShutokuKingaku;// 8
    uint8_t reserved[944];   // 16
};
static_assert(sizeof(StKOTEINENINFO) == 960);

// The asset's month record, filled alongside; same head as the year record.
struct StKOTEITSUKIINFO {
    int32_t lShisanCode;     // 0
    int32_t lShutokuDate;    // 4
    int64_t llShutokuKingaku;// 8
    uint8_t reserved[1520];  // 16
};
static_assert(sizeof(StKOTEITSUKIINFO) == 1536);

// Per-rate record of the tax summation, 501 bytes. Amounts are raw (1/10000
// yen); triples are tax-excluded, tax, tax-included. The import triples are
// filled whole by the stand-in; the program reads only their tax.
struct StTAXREPORTRATEINFO {
    int32_t lZeiRate;                 // 0   rate x 100 (read)
    uint8_t byKeigen;                 // 4   reduced-rate flag (read)
    uint8_t reserved1[8];             // 5
    int64_t llKazeiUriageNuki;        // 13  taxable sales
    int64_t llKazeiUriageZei;         // 21
    int64_t llKazeiUriageKomi;        // 29
    int64_t llHikazeiUriageYuka;      // 37  securities: 5 % of the sales
    int64_t llMenzeiUriage;           // 45  exempt (export) sales
    int64_t llHikazeiUriageSonota;    // 53  other non-taxable sales
    int64_t llHikazeiShisanYushutsu;  // 61  exports of non-taxable assets
    int64_t llKazeiHenkanNuki;        // 69  taxable sales returns
    int64_t llKazeiHenkanZei;         // 77
    int64_t llKazeiHenkanKomi;        // 85
    int64_t llHikazeiHenkan;          // 93  non-taxable sales returns
    int64_t llMenzeiHenkan;           // 101 exempt sales returns
    int64_t llShiireKazeiNuki;        // 109 purchases for taxable sales
    int64_t llShiireKazeiZei;         // 117
    int64_t llShiireKazeiKomi;        // 125
    int64_t llShiireHikazeiNuki;      // 133 purchases for non-taxable sales
    int64_t llShiireHikazeiZei;       // 141
    int64_t llShiireHikazeiKomi;      // 149
    int64_t llShiireKyotuuNuki;       // 157 purchases common to both
    int64_t llShiireKyotuuZei;        // 165
    int64_t llShiireKyotuuKomi;       // 173
    int64_t llYunyuKazeiNuki;         // 181 import purchases for taxable sales
    int64_t llYunyuKazeiZei;          // 189 (read: the national tax)
    int64_t llYunyuKazeiKomi;         // 197
    int64_t llYunyuHikazeiNuki;       // 205 import purchases for non-taxable sales
    int64_t llYunyuHikazeiZei;        // 213 (read)
    int64_t llYunyuHikazeiKomi;       // 221
    int64_t llYunyuKyotuuNuki;        // 229 import purchases common
    int64_t llYunyuKyotuuZei;         // 237 (read)
    int64_t llYunyuKyotuuKomi;        // 245
    uint8_t reserved2[8];             // 253
    int64_t llShiireHenkanKazeiNuki;  // 261 purchase returns, taxable sales
    int64_t llShiireHenkanKazeiZei;   // 269
    int64_t llShiireHenkanKazeiKomi;  // 277
    int64_t llShiireHenkanHikazeiNuki;// 285 purchase returns, non-taxable sales
    int64_t llShiireHenkanHikazeiZei; // 293
    int64_t llShiireHenkanHikazeiKomi;// 301
    int64_t llShiireHenkanKyotuuNuki; // 309 purchase returns, common
    int64_t llShiireHenkanKyotuuZei;  // 317
    int64_t llShiireHenkanKyotuuKomi; // 325
    int64_t llYunyuHenkanKazeiNuki;   // 333 import returns, taxable sales
    int64_t llYunyuHenkanKazeiZei;    // 341 (read)
    int64_t llYunyuHenkanKazeiKomi;   // 349
    int64_t llYunyuHenkanHikazeiNuki; // 357 import returns, non-taxable sales
    int64_t llYunyuHenkanHikazeiZei;  // 365 (read)
    int64_t llYunyuHenkanHikazeiKomi; // 373
    int64_t llYunyuHenkanKyotuuNuki;  // 381 import returns, common
    int64_t llYunyuHenkanKyotuuZei;   // 389 (read)
    int64_t llYunyuHenkanKyotuuKomi;  // 397
    int64_t llKashidaoreNuki;         // 405 bad debts
    int64_t llKashidaoreZei;          // 413
    int64_t llKashidaoreKomi;         // 421
    int64_t llKashidaoreKaishuNuki;   // 429 bad debts collected
    int64_t llKashidaoreKaishuZei;    // 437
    int64_t llKashidaoreKaishuKomi;   // 445
    uint8_t reserved3[28];            // 453
    int64_t llYunyuChiho;             // 481 local tax on import purchases
    int64_t llYunyuHenkanChiho;       // 489 local tax on import returns
    uint8_t reserved4[4];             // 497
};
static_assert(sizeof(StTAXREPORTRATEINFO) == 501);
static_assert(offsetof(StTAXREPORTRATEINFO, byKeigen) == 4);
static_assert(offsetof(StTAXREPORTRATEINFO, llKazeiUriageNuki) == 13);
static_assert(offsetof(StTAXREPORTRATEINFO, llKazeiUriageZei) == 21);
static_assert(offsetof(StTAXREPORTRATEINFO, llKazeiUriageKomi) == 29);
static_assert(offsetof(StTAXREPORTRATEINFO, llHikazeiUriageYuka) == 37);
static_assert(offsetof(StTAXREPORTRATEINFO, llMenzeiUriage) == 45);
static_assert(offsetof(StTAXREPORTRATEINFO, llHikazeiUriageSonota) == 53);
static_assert(offsetof(StTAXREPORTRATEINFO, llHikazeiShisanYushutsu) == 61);
static_assert(offsetof(StTAXREPORTRATEINFO, llKazeiHenkanNuki) == 69);
static_assert(offsetof(StTAXREPORTRATEINFO, llKazeiHenkanZei) == 77);
static_assert(offsetof(StTAXREPORTRATEINFO, llKazeiHenkanKomi) == 85);
static_assert(offsetof(StTAXREPORTRATEINFO, llHikazeiHenkan) == 93);
static_assert(offsetof(StTAXREPORTRATEINFO, llMenzeiHenkan) == 101);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireKazeiNuki) == 109);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireKazeiZei) == 117);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireKazeiKomi) == 125);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHikazeiNuki) == 133);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHikazeiZei) == 141);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHikazeiKomi) == 149);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireKyotuuNuki) == 157);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireKyotuuZei) == 165);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireKyotuuKomi) == 173);
static_assert(offsetof(StTAXREPORTRATEINFO, llYunyuKazeiZei) == 189);
static_assert(offsetof(StTAXREPORTRATEINFO, llYunyuHikazeiZei) == 213);
static_assert(offsetof(StTAXREPORTRATEINFO, llYunyuKyotuuZei) == 237);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHenkanKazeiNuki) == 261);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHenkanKazeiZei) == 269);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHenkanKazeiKomi) == 277);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHenkanHikazeiNuki) == 285);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHenkanHikazeiZei) == 293);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHenkanHikazeiKomi) == 301);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHenkanKyotuuNuki) == 309);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHenkanKyotuuZei) == 317);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHenkanKyotuuKomi) == 325);
static_assert(offsetof(StTAXREPORTRATEINFO, llYunyuHenkanKazeiZei) == 341);
static_assert(offsetof(StTAXREPORTRATEINFO, llYunyuHenkanHikazeiZei) == 365);
static_assert(offsetof(StTAXREPORTRATEINFO, llYunyuHenkanKyotuuZei) == 389);
static_assert(offsetof(StTAXREPORTRATEINFO, llKashidaoreNuki) == 405);
static_assert(offsetof(StTAXREPORTRATEINFO, llKashidaoreZei) == 413);
static_assert(offsetof(StTAXREPORTRATEINFO, llKashidaoreKomi) == 421);
static_assert(offsetof(StTAXREPORTRATEINFO, llKashidaoreKaishuNuki) == 429);
static_assert(offsetof(StTAXREPORTRATEINFO, llKashidaoreKaishuZei) == 437);
static_assert(offsetof(StTAXREPORTRATEINFO, llKashidaoreKaishuKomi) == 445);
static_assert(offsetof(StTAXREPORTRATEINFO, llYunyuChiho) == 481);
static_assert(offsetof(StTAXREPORTRATEINFO, llYunyuHenkanChiho) == 489);

// Per-rate, per-business-kind record of the tax summation, 64 bytes.
struct StTAXREPORTBUSINESSTYPEINFO {
    int32_t lZeiRate;            // 0  rate x 100 (read)
    uint8_t byKeigen;            // 4  reduced-rate flag (read)
    uint8_t byJigyoKubun;        // 5  business kind 1 to 6 (read)
    uint8_t reserved1[2];        // 6
    int64_t llUriageKomi;        // 8  sales, tax-included
    int64_t llUriageZei;         // 16 sales, tax
    int64_t llUriageNuki;        // 24 sales, tax-excluded
    int64_t llHenkanKomi;        // 32 sales returns, tax-included
    int64_t llHenkanZei;         // 40 sales returns, tax
    int64_t llHenkanNuki;        // 48 sales returns, tax-excluded
    int64_t reserved2;           // 56
};
static_assert(sizeof(StTAXREPORTBUSINESSTYPEINFO) == 64);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, byJigyoKubun) == 5);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, llUriageKomi) == 8);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, llUriageZei) == 16);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, llUriageNuki) == 24);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, llHenkanKomi) == 32);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, llHenkanZei) == 40);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, llHenkanNuki) == 48);

#pragma pack(pop)
