// What the suite's set, save and rule objects share about the dataset they
// answer for: the dataset ID given to SetCurDataID, kept as a copy, and the
// attach step of their managers.
#pragma once

#include "suite/SuiteTypes.h"

namespace suite { struct StoreVersion; }

class CurDataId {
public:
    // Copies the first 16 bytes of the dataset record at `pDataID`;
    // SUITE_ERR_PARAM (and the old ID kept) for none.
    long Set(LPCDATAID pDataID);
    void Clear();
    bool IsSet() const { return m_bSet; }
    // The kept ID, or null when none is set.
    LPCDATAID Get() const { return m_bSet ? m_id : nullptr; }
    // The current store's number of the kept dataset, or of the selected
    // dataset when none is kept; `known`, when given, is the store's version
    // just read.
    long ResolveDataNo(long long* pDataNo, const suite::StoreVersion* known = nullptr) const;

private:
    bool m_bSet = false;
    BYTE m_id[SUITE_DATAID_SIZE] = {};
};

// Keeps `p` in `slot`, also a null one; SUITE_ERR_PARAM for a null one.
template <class T>
long AttachTo(T*& slot, T* p)
{
    slot = p;
    return p ? SUITE_OK : SUITE_ERR_PARAM;
}
