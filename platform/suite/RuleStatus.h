// Statuses of the rule side of the suite library. Success, the end of a walk
// and the common errors are the suite's (SuiteTypes.h); the rule side adds the
// errors below, in the range 7001 to 7099.
#pragma once

#include "suite/SuiteTypes.h"

enum : long {
    RULE_OK = SUITE_OK,
    RULE_END = SUITE_EOD,       // end of the data: no (more) record
    RULE_ERR_CONDITION = 7001,  // a search condition the library cannot read: unknown field code,
                                // side, comparison, value type or connector, a nested term
                                // without a condition, too many terms or too deep a nesting
    RULE_ERR_NOTREADY = 7002,   // the rule object was not set up (set manager, data ID and
                                // option link), or a walk was used before it was readied
    RULE_ERR_OVERFLOW = 7005,   // a sum left the range of a 64-bit raw amount
    RULE_ERR_NORECORD = 7006,   // the summation found no pre-filled record for an entry side's rate
};
