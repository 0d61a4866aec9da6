// The link manager: the process-wide option link.
#pragma once

#include "suite/ClOptLink.h"

class ClLinkMgr {
public:
    static ClLinkMgr* Inst();
    // Never null.
    ClOptLink* GetOptLink();

private:
    ClOptLink m_optLink;
};
