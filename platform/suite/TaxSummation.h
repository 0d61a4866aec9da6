// The tax summation's arithmetic: adds entry sides, one at a time, into the
// per-rate and per-business-kind records by the tax-code table. The records
// arrive pre-filled with their rates, reduced flags and business kinds; a side
// finds its record by its rate. Which rows are summed is the caller's affair.
#pragma once

#include <cstdint>

#include "suite/RuleTypes.h"

class TaxSummation {
public:
    // Layout of the buffers: three groups of RATES records (all entries, then
    // purchases without a qualified invoice at 80 % and at 50 %), and
    // RATES x KINDS business-kind records.
    static constexpr int RATES = 5;
    static constexpr int GROUPS = 3;
    static constexpr int KINDS = 6;

    // `substRate` (rate x 100, 0 for none) stands for the rate of a side that
    // was stored without one.
    TaxSummation(StTAXREPORTRATEINFO* rates, StTAXREPORTBUSINESSTYPEINFO* kinds, int32_t substRate);

    // Zeroes every amount of the buffers; rates, flags and kinds stay.
    void Begin();
    // Adds one side (side 1 debit, 2 credit). Sides of codes that feed no
    // figure add nothing.
    void AddSide(const StSWKTSIDE& side, int sideNo);
    // Stores the figures that are formed from whole sums. Returns 0, or the
    // first problem met: RULE_ERR_OVERFLOW (a sum left the 64-bit range; that
    // side was left out) or RULE_ERR_NORECORD (no pre-filled record carries a
    // side's rate; that side was left out).
    long Finish();

    // The rate a side counts at: its own, else the substitute, else 10 %.
    void ResolveRate(const StSWKTSIDE& side, int32_t& rate, uint8_t& reduced) const;

private:
    int FindRateRecord(int32_t rate, uint8_t reduced) const;
    int FindKindRecord(int32_t rate, uint8_t reduced, int kind) const;
    void Add(void* record, int offset, int64_t value);
    void AddTriple(void* record, int offNuki, int offZei, int offKomi, int64_t nuki, int64_t zei);

    StTAXREPORTRATEINFO* rates_;
    StTAXREPORTBUSINESSTYPEINFO* kinds_;
    int32_t substRate_;
    int64_t yuka_[RATES] = {};  // sales of securities per rate, in full
    long status_ = 0;
};
