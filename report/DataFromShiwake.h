// DATA from the aggregated figures, and the amount element every writer of
// DATA uses.
#pragma once

#include "report/RunFigures.h"
#include "win32/Windows.h"

class CXmlWriter;
struct StDATAINFO;
struct StSHOHIZEIINFO;

namespace linkfile {

// One amount element at the level of a form's values: the raw amount
// rounded to whole yen by nHasuMode, empty for 0 or when bBlank is set.
int WriteKingakuElement(CXmlWriter* pWriter, LPSTR lpszLine, LPCTSTR lpszName, __int64 llRaw, int bBlank,
                        BYTE nHasuMode);
// DATA with its forms, KANPUH and KANPUK from the summation's records and the
// refund-statement totals; 1 when the whole section was written.
int WriteDataFromShiwake(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo,
                         const StSHOHIZEIINFO* pShohizeiInfo, BYTE bNiwariTokurei, BYTE nUriageHoushiki,
                         BYTE nShiireHoushiki);

}  // namespace linkfile
