// The whole link file of one export, in each mode: the declaration, REPORT
// and its three sections, with the continue-or-stop question after a section
// that failed (owned by hOwner).
#pragma once

#include "report/RunFigures.h"
#include "win32/Windows.h"

struct StDATAINFO;
struct StSHOHIZEIINFO;

namespace linkfile {

// What SYSTEM names besides the support-information file: the caller's
// function id and the deliverable's product literal (used when that file
// names no product).
struct SystemIds {
    short nFunctionId = 1;
    LPCTSTR lpszProductName = "";
};

// 1 when the export went to its end (also past failed sections the user chose
// to go on from), 0 when the user stopped it or the file could not be
// finished; the caller decides the run's result from that.
int WriteSavedValuesFile(HWND hOwner, LPCTSTR lpszPath, const RunFigures& figures, const SystemIds& ids,
                         const StDATAINFO* pDataInfo, int bNiwariTokurei, int nUriageHoushiki, int nShiireHoushiki);
int WriteAggregatedFile(HWND hOwner, LPCTSTR lpszPath, const RunFigures& figures, const SystemIds& ids,
                        const StDATAINFO* pDataInfo, const StSHOHIZEIINFO* pShohizeiInfo, BYTE bNiwariTokurei,
                        BYTE nUriageHoushiki, BYTE nShiireHoushiki);

}  // namespace linkfile
