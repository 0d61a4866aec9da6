// The tests create their stores from the source tree's schema file; the
// deliverables never create a store and carry no path into the source tree.
// Linked as an object into every test program, so that the path is set
// before any test runs.
#include "suite/SuiteStore.h"

namespace {

const bool kSchemaSet = [] {
    suite::SuiteStore::SetSchemaPath(ZK_SOURCE_DIR "/platform/suite/schema.sql");
    return true;
}();

}  // namespace
