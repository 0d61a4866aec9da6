#include "suite/ClLinkMgr.h"

ClLinkMgr* ClLinkMgr::Inst()
{
    static ClLinkMgr mgr;
    return &mgr;
}

ClOptLink* ClLinkMgr::GetOptLink() { return &m_optLink; }
