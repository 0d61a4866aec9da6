// The figures of one run as the link file's writers read them.
//
// Every figure of DATA, KANPUH and KANPUK and the flags of BASIC come from
// here, and nothing else of the run reaches the writers: the application
// object fills its own members (the aggregation sums into them, the saved-
// values mode loads the saved record before the conditions dialog, the
// header texts take the taxation kind and the rounding mode from the
// settings) and hands the writers one RunFigures of them
// (CShohizeiLinkApp::Figures) by const reference.
//
// The rate records and the saved record stay in the buffers the application
// object owns; RunFigures points at them and is valid while the run's
// buffers are, i.e. for the writing of one file.
#pragma once

#include "aggregation/AccumBlock.h"
#include "win32/Windows.h"

struct StTAXREPORTRATEINFO;
struct StTAXREPORTBUSINESSTYPEINFO;

struct RunFigures {
    // The tax summation's records (aggregation mode; null in the saved-values
    // mode): three groups of one record per tax rate, group after group, and
    // six business-kind records per rate.
    const StTAXREPORTRATEINFO* pRateInfo = nullptr;
    const StTAXREPORTBUSINESSTYPEINFO* pBusinessTypeInfo = nullptr;
    // The saved tax-return values (StSaveTaxInfo, SAVETAXINFO_BUFFER_SIZE
    // bytes), loaded in both modes; only the saved-values writers and BASIC
    // of that mode read it.
    const BYTE* pSaveTaxInfo = nullptr;

    // The corporation's refund-statement rows and acquisitions.
    AccumBlock abShohinShiire;
    AccumBlock abHanbaiIppan;
    AccumBlock abEigyogaiHiyou;
    AccumBlock abSonotaSoneki;
    __int64 llKoteiShisan = 0;
    __int64 llKurinobeShisan = 0;
    // The individual's refund-statement rows.
    AccumBlock abJigyoShiire;
    AccumBlock abJigyoHitsuyou;
    AccumBlock abJigyoKoteiShisan;
    AccumBlock abFudousanHitsuyou;
    AccumBlock abFudousanKoteiShisan;
    AccumBlock abSonotaShiire;
    AccumBlock abSonotaHitsuyou;
    AccumBlock abSonotaKoteiShisan;

    // Of the dataset's current tax settings: the taxation kind (0 免税,
    // 1 簡易課税, 2 原則課税) and the yen rounding mode.
    BYTE nKazeiKubun = 0;
    BYTE nHasuMode = 0;
};
