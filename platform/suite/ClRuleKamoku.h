// Account summaries: for every account of the dataset, the debit and credit
// movements of each month kind, tax-excluded and tax-included, summed from the
// journal entries that satisfy a condition, optionally for one department.
// The summaries are formed when the walk is readied (one record per account,
// however many entries there are) and handed out one by one. The movements
// come from one pass over the condition's entries that answers every
// department (KamokuMoveSums), so asking for the departments one after the
// other costs one pass, not one per department.
#pragma once

#include <vector>

#include "suite/ClRuleBase.h"
#include "suite/FindInfo.h"
#include "suite/RuleTypes.h"

// What the summaries are made of. The stand-in knows one kind of each.
enum _RuleKamokuSumType_Base { RuleKamokuSumType_Base_Move = 1 };  // movements by month
enum _RuleKamokuSumType_Bmn {
    RuleKamokuSumType_Bmn_None = 0,   // all departments, or the one given
    RuleKamokuSumType_Bmn_Group = 4,  // the department given (kinds 1 and 2)
};
enum _RuleKamokuSumType_Disptype { RuleKamokuSumType_Disptype_Normal = 0 };
enum _RuleKamokuSumType_Past { RuleKamokuSumType_Past_Current = 0 };

class ClRuleKamoku : public ClRuleBase {
public:
    ClRuleKamoku();
    ~ClRuleKamoku() override;

    // Forms the summaries of the entries that satisfy `pFind` (null: all);
    // with `pBumon` only the entry sides of that department (its code) count,
    // in either department mode: the stand-in keeps no department hierarchy.
    // Every account of the dataset has a summary, in account-code order;
    // sides on accounts missing from the account master are not summed.
    long MoveReady(_RuleKamokuSumType_Base nBase, _RuleKamokuSumType_Bmn nBmn, _RuleKamokuSumType_Disptype nDisp,
                   const StFINDINFO* pFind, const StBUMONINFO* pBumon, _RuleKamokuSumType_Past nPast);
    long GetSumCount(int32_t* pCount);
    // The position of the next MoveNext, 0 being the first summary.
    long SetMovePos(int32_t nPos);
    // SUITE_EOD after the last summary.
    long MoveNext(StKAMOKUSUMINFO* pSum);
    long MoveFinish();

private:
    std::vector<StKAMOKUSUMINFO> m_sums;
    size_t m_pos = 0;
    bool m_bReady = false;
};
