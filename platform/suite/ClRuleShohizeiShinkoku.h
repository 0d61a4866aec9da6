// The consumption-tax summation: one pass over the journal entries that
// satisfy a condition, adding every entry side into the per-rate and
// per-business-kind records by the tax-code table (TAXCODES.md).
#pragma once

#include "suite/ClRuleBase.h"
#include "suite/FindInfo.h"
#include "suite/RuleTypes.h"

class ClRuleShohizeiShinkoku : public ClRuleBase {
public:
    ClRuleShohizeiShinkoku();
    ~ClRuleShohizeiShinkoku() override;

    // The rate (x 100: 1000, 800, 500, or 0 for none) that stands for the rate
    // of an entry side stored without one, in the following SumTax calls.
    long SetSubstTaxRate(int32_t lRate);

    // Fills the amounts of `pRates` (three pre-filled groups of five records:
    // all entries, purchases without a qualified invoice at 80 % and at 50 %)
    // and `pKinds` (thirty pre-filled records, six kinds per rate) from the
    // entries that satisfy `pFind`. Amounts are set, not added to; rates,
    // reduced flags and kinds are kept. The taxation kind, `nReserved`, the
    // settings byte 12 and the settings value at byte 16 do not change the
    // figures (TAXCODES.md). Returns 0; an error of the set-up or the
    // condition (records untouched); an error of the store (the amounts then
    // hold what was summed before it); or, after the pass, RULE_ERR_OVERFLOW
    // or RULE_ERR_NORECORD for sides that could not be placed (the rest summed).
    long SumTax(int nKazeiKubun, const StFINDINFO* pFind, StTAXREPORTRATEINFO* pRates,
                StTAXREPORTBUSINESSTYPEINFO* pKinds, int nReserved, int nSettingByte12, int32_t lSettingValue16);

private:
    int32_t m_lSubstRate = 0;
};
