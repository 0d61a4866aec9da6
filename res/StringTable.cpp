// The program's string table, registered before the program starts.
#include "res/StringTable.h"

#include "win32/ResourceTable.h"

const UINT IDS_PROGRAM_VERSION = 1;

namespace {

const ResourceString kProgramVersion(1, "22.50.00");

}  // namespace
