// The SYSTEM section of the link file.
#pragma once

#include "win32/Windows.h"

class CXmlWriter;

namespace linkfile {

// SYSTEM with the caller's function id; the product name of the support-
// information file, or lpszProductName (the deliverable's product literal)
// when that file names none. 1 when the whole section was written.
int WriteSystemSection(CXmlWriter* pWriter, short nFunctionId, LPCTSTR lpszProductName);

}  // namespace linkfile
