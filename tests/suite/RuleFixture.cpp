#include "RuleFixture.h"

namespace ruletest {

// Stand-ins for the managers' objects: the rule objects only keep them.
ClSetMgr* RuleStoreTest::SetMgr()
{
    static char object;
    return reinterpret_cast<ClSetMgr*>(&object);
}

ClOptLink* RuleStoreTest::OptLink()
{
    static char object;
    return reinterpret_cast<ClOptLink*>(&object);
}

} // namespace ruletest
