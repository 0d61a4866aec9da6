// Statuses of the rule side of the suite library. 0 is success and 5000 the
// end of a walk; every other value is an error that the message manager can
// show. The rule side's errors lie in the range 7001 to 7099.
#pragma once

enum : long {
    RULE_OK = 0,
    RULE_END = 5000,            // end of the data: no (more) record
    RULE_ERR_CONDITION = 7001,  // a search condition the library cannot read: unknown field code,
                                // side, comparison, value type or connector, a nested term
                                // without a condition, too many terms or too deep a nesting
    RULE_ERR_NOTREADY = 7002,   // the object is not set up (no set manager or dataset) or
                                // a walk was not readied
    RULE_ERR_ARGUMENT = 7003,   // a null output or an argument value the call does not know
    RULE_ERR_STORE = 7004,      // the store refused a query
    RULE_ERR_OVERFLOW = 7005,   // a sum left the range of a 64-bit raw amount
    RULE_ERR_NORECORD = 7006,   // the summation found no pre-filled record for an entry side's rate
};
