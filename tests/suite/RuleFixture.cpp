#include "RuleFixture.h"

#include "suite/ClDataMgr.h"
#include "suite/ClLinkMgr.h"

namespace ruletest {

ClSetMgr* RuleStoreTest::SetMgr() { return ClDataMgr::Inst()->GetSetMgr(); }

ClOptLink* RuleStoreTest::OptLink() { return ClLinkMgr::Inst()->GetOptLink(); }

} // namespace ruletest
