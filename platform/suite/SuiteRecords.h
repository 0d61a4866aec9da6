// The byte-packed records that the suite libraries fill for the program.
// Bytes without a name are reserved and always zero.
#pragma once

#include <cstddef>
#include <cstdint>

#include "suite/SuiteTypes.h"

#pragma pack(push, 1)

// A dataset record.
struct StDATAINFO {
    BYTE DataID[16];          // the dataset's ID; the record's address serves as the data ID
    int32_t nSelectNo;        // selection number
    BYTE reserved20[4];
    char szCompanyName[260];  // company name, NUL-terminated
    int32_t lPeriodFrom;      // fiscal period start, yyyymmdd
    int32_t lPeriodTo;        // fiscal period end, yyyymmdd
    BYTE reserved292[12];
    int32_t nHalfYearClosing; // 1 when the dataset has a half-year closing
    BYTE reserved308[18];
    int16_t sPastDataCode;    // 99: past-results data
    BYTE reserved328[16];
    uint8_t byOrgKind;        // 0 or 1 corporation, 3 or 4 individual
    BYTE reserved345[602];
    uint8_t byIncomeKinds;    // individual: 1 business, 2 real estate, 3-6 several
    BYTE reserved948[558];
};
static_assert(offsetof(StDATAINFO, DataID) == 0);
static_assert(offsetof(StDATAINFO, nSelectNo) == 16);
static_assert(offsetof(StDATAINFO, szCompanyName) == 24);
static_assert(offsetof(StDATAINFO, lPeriodFrom) == 284);
static_assert(offsetof(StDATAINFO, lPeriodTo) == 288);
static_assert(offsetof(StDATAINFO, nHalfYearClosing) == 304);
static_assert(offsetof(StDATAINFO, sPastDataCode) == 326);
static_assert(offsetof(StDATAINFO, byOrgKind) == 344);
static_assert(offsetof(StDATAINFO, byIncomeKinds) == 947);
static_assert(sizeof(StDATAINFO) == SUITE_DATAINFO_SIZE);

// The consumption-tax settings of a dataset.
struct StSHOHIZEIINFO {
    uint8_t byKazeiKubun;     // taxation kind: 0 免税, 1 簡易課税, 2 原則課税
    BYTE reserved1;
    uint8_t byHasuMode;       // yen rounding: 0 half up, 1 truncate, 2 up
    uint8_t byKojoHoushiki;   // deduction under 原則課税: 0 個別対応方式, 1 一括比例配分方式
    uint8_t byJigyoKubun;     // main business kind under 簡易課税: 0 指定なし, 1-6
    uint8_t byZeikomi;        // tax-included bookkeeping
    BYTE reserved6[6];
    uint8_t bySumOption;      // handed to the tax summation
    BYTE reserved13[3];
    int32_t lSumValue;        // handed to the tax summation
};
static_assert(offsetof(StSHOHIZEIINFO, byKazeiKubun) == 0);
static_assert(offsetof(StSHOHIZEIINFO, byHasuMode) == 2);
static_assert(offsetof(StSHOHIZEIINFO, byKojoHoushiki) == 3);
static_assert(offsetof(StSHOHIZEIINFO, byJigyoKubun) == 4);
static_assert(offsetof(StSHOHIZEIINFO, byZeikomi) == 5);
static_assert(offsetof(StSHOHIZEIINFO, bySumOption) == 12);
static_assert(offsetof(StSHOHIZEIINFO, lSumValue) == 16);
static_assert(sizeof(StSHOHIZEIINFO) == SUITE_SHOHIZEIINFO_SIZE);

// The values saved in the consumption-tax return screen: the header fields
// by name; the amounts (signed 64-bit, 1/10000 yen) lie in `body` and are read
// by their offsets from the record's start.
struct StSaveTaxInfo {
    BYTE reserved0[3];
    uint8_t byKazeiKubun;       // 1 原則課税, 2 簡易課税
    uint8_t byKojoHoushiki;     // deduction method + 1
    BYTE reserved5;
    uint8_t byUriageHoushiki;   // sales method
    uint8_t byShiireHoushiki;   // purchase method
    uint8_t byKeikaSochi;       // transitional-rate amounts entered (not 0)
    int32_t lPeriodFrom;        // fiscal period start, yyyymmdd; 0 when nothing is saved
    int32_t lPeriodTo;          // fiscal period end, yyyymmdd
    int32_t lYearFrom;          // fiscal year of the saved return, yyyymmdd
    int32_t lYearTo;
    BYTE reserved25[4];
    int32_t lTaxPeriodFrom;     // taxable period of the saved return, yyyymmdd
    int32_t lTaxPeriodTo;
    BYTE reserved37[2];
    uint8_t byHalfYearClosing;  // half-year closing flag + 1
    BYTE body[17304];
    uint8_t byNiwariTokurei;    // 「2割特例」
    BYTE tail[7231];
};
static_assert(offsetof(StSaveTaxInfo, byKazeiKubun) == 3);
static_assert(offsetof(StSaveTaxInfo, byKojoHoushiki) == 4);
static_assert(offsetof(StSaveTaxInfo, byUriageHoushiki) == 6);
static_assert(offsetof(StSaveTaxInfo, byShiireHoushiki) == 7);
static_assert(offsetof(StSaveTaxInfo, byKeikaSochi) == 8);
static_assert(offsetof(StSaveTaxInfo, lPeriodFrom) == 9);
static_assert(offsetof(StSaveTaxInfo, lPeriodTo) == 13);
static_assert(offsetof(StSaveTaxInfo, lYearFrom) == 17);
static_assert(offsetof(StSaveTaxInfo, lYearTo) == 21);
static_assert(offsetof(StSaveTaxInfo, lTaxPeriodFrom) == 29);
static_assert(offsetof(StSaveTaxInfo, lTaxPeriodTo) == 33);
static_assert(offsetof(StSaveTaxInfo, byHalfYearClosing) == 39);
static_assert(offsetof(StSaveTaxInfo, byNiwariTokurei) == 17344);
static_assert(sizeof(StSaveTaxInfo) == SUITE_SAVETAXINFO_SIZE);

// One tooltip of a dialog: control id, text and a value whose meaning is the
// tooltip manager's (1: show the tooltip). Byte-packed; the text pointer is a
// full pointer on this platform.
struct TOOLTIPMSG_TABLE {
    uint32_t nID;
    const char* pszMsg;
    uint32_t nValue;
};
static_assert(offsetof(TOOLTIPMSG_TABLE, nID) == 0);
static_assert(offsetof(TOOLTIPMSG_TABLE, pszMsg) == 4);
static_assert(offsetof(TOOLTIPMSG_TABLE, nValue) == 4 + sizeof(void*));

#pragma pack(pop)
