// The reader of the values saved in the consumption-tax return screen.
#pragma once

#include <vector>

#include "suite/ClSaveBase.h"

class ClSaveTaxShiryo : public ClSaveBase {
public:
    ClSaveTaxShiryo();
    ~ClSaveTaxShiryo() override;

    // Reads the dataset's saved record from the store into the reader's
    // cache. SUITE_ERR_NOTSAVED when nothing was saved (the cache is then empty).
    long RefreshCache();
    // Copies the 24,576-byte saved record (StSaveTaxInfo) into `pBuffer`;
    // reads the store first when RefreshCache was not called. Non-zero, with
    // the buffer untouched, when nothing was saved or it cannot be read.
    long GetTaxSaveInfo(LPVOID pBuffer);

private:
    bool m_bCached = false;
    std::vector<BYTE> m_cache;  // empty: nothing saved
};
