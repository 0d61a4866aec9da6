// DATA from the values saved in the consumption-tax return screen.
#pragma once

#include "report/RunFigures.h"
#include "win32/Windows.h"

class CXmlWriter;
struct StDATAINFO;

namespace linkfile {

// The raw amount times 20; throws the integer -1 when the product leaves the
// raw range.
__int64 MulRawBy20(__int64 llRaw);
// DATA with its forms, KANPUH and KANPUK from the saved record; 1 when the
// whole section was written, 0 also when there is no saved record.
int WriteDataFromSaveInfo(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo,
                          int bNiwariTokurei, int nUriageHoushiki, int nShiireHoushiki);

}  // namespace linkfile
