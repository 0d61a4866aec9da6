// The base of the set objects: a set answers for one dataset, the one of the
// last SetCurDataID, or the current user's selected dataset before that.
#pragma once

#include "suite/CurDataId.h"
#include "suite/SuiteTypes.h"

class ClSetMgr;
namespace suite { struct StoreVersion; }

class ClSetBase {
public:
    ClSetBase() = default;
    ClSetBase(const ClSetBase&) = delete;
    ClSetBase& operator=(const ClSetBase&) = delete;
    virtual ~ClSetBase();

    virtual long AttachSetMgr(ClSetMgr* pSetMgr);
    // `pDataID` is the address of a dataset record, whose first 16 bytes are
    // the dataset's ID. The ID is copied. SUITE_ERR_NODATA when the store
    // knows no such dataset (the set then answers for no dataset).
    virtual long SetCurDataID(LPCDATAID pDataID);

    // Back to answering for the selected dataset (the connection ends).
    virtual void ClearCurDataID();

protected:
    // The store's number of the dataset the set answers for; `known`, when
    // given, is the store's version just read.
    long CurDataNo(long long* pDataNo, const suite::StoreVersion* known = nullptr) const;

    ClSetMgr* m_pSetMgr = nullptr;
    CurDataId m_dataID;
};
