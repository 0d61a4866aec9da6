// The refund-statement blocks KANPUH and KANPUK of DATA, in both modes.
#pragma once

#include "report/RunFigures.h"

class CXmlWriter;
struct StDATAINFO;
struct StSHOHIZEIINFO;

namespace linkfile {

// From the aggregated totals; the tax class text follows the settings' tax-
// included flag. 1 when the whole block was written.
int WriteKanpuH(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo,
                const StSHOHIZEIINFO* pShohizeiInfo);
int WriteKanpuK(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo,
                const StSHOHIZEIINFO* pShohizeiInfo);
// From the saved record's sixteen refund-statement amounts.
int WriteKanpuHFromSaveInfo(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo);
int WriteKanpuKFromSaveInfo(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo);

}  // namespace linkfile
