// One row of the refund statement: three raw amounts (1/10000 yen).
//   [0] from the account summaries (the settlement amount), written as value 1
//   [1] from journal entries with tax code 20 or lower, 24, or 30 and higher,
//       written as value 2
//   [2] the part with the undetermined import tax codes 31 to 37, kept but
//       not written
#pragma once

#include "win32/Windows.h"

struct AccumBlock {
    __int64 llAmount[3] = {0, 0, 0};
};
