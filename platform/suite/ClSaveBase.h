// The base of the readers of saved values: a reader answers for one dataset,
// the one of the last SetCurDataID, or the selected dataset before that.
#pragma once

#include "suite/CurDataId.h"
#include "suite/SuiteTypes.h"

class ClSetMgr;
class ClOptLink;

class ClSaveBase {
public:
    ClSaveBase();
    ClSaveBase(const ClSaveBase&) = delete;
    ClSaveBase& operator=(const ClSaveBase&) = delete;
    virtual ~ClSaveBase();

    virtual long AttachSetMgr(ClSetMgr* pSetMgr);
    // The address of a dataset record (its first 16 bytes are the ID); the ID
    // is copied. SUITE_ERR_NODATA when the store knows no such dataset.
    virtual long SetCurDataID(LPCDATAID pDataID);
    virtual long AttachOptLink(ClOptLink* pOptLink);

protected:
    long CurDataNo(long long* pDataNo) const;

    ClSetMgr* m_pSetMgr = nullptr;
    ClOptLink* m_pOptLink = nullptr;
    CurDataId m_dataID;
};
