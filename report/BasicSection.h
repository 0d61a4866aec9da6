// The BASIC section of the link file, and the two helpers it shares with the
// application object's members of the same names.
#pragma once

#include "report/RunFigures.h"
#include "win32/Windows.h"

class CXmlWriter;
struct StDATAINFO;

namespace linkfile {

// The text in full width, cut to 32 bytes at a character boundary; one shared
// 100-byte buffer, valid until the next call.
LPCTSTR ToZenkakuText32(LPCTSTR lpszText);
// 1 when the summation's records hold amounts at a rate other than 10 % and
// reduced 8 %; 0 also when there are no records.
int HasKeikaSochiAmounts(const RunFigures& figures);
// BASIC; 1 when the whole section was written. Mode 1 (saved values) takes
// the fiscal year and both flags from the saved record, mode 0 from the
// dataset, the summation's records and bNiwariTokurei.
int WriteBasicSection(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo, int nMode,
                      int bNiwariTokurei);

}  // namespace linkfile
