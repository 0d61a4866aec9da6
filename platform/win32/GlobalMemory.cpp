// Global memory blocks. A fixed block's handle is its address; a moveable
// block has a handle of its own and a lock count (its address never moves
// here, but it is only to be used between GlobalLock and GlobalUnlock).
#include "win32/Kernel.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

namespace {

struct Block {
    void* data = nullptr;
    SIZE_T size = 0;
    bool moveable = false;
    unsigned locks = 0;
};

std::mutex& Lock()
{
    static std::mutex m;
    return m;
}

std::map<void*, Block>& Blocks()
{
    static std::map<void*, Block> blocks;
    return blocks;
}

// A distinct address for each moveable handle.
struct HandleTag {
    char unused;
};

}  // namespace

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes)
{
    // The program's platform has a 2 GB address space for it: a larger block
    // could never be had there, so it is refused before the host is asked.
    if (dwBytes > 0x7FFFFFFF) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* data = (uFlags & GMEM_ZEROINIT) ? std::calloc(dwBytes ? dwBytes : 1, 1) : std::malloc(dwBytes ? dwBytes : 1);
    if (!data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Block b{data, dwBytes, (uFlags & GMEM_MOVEABLE) != 0, 0};
    void* handle = data;
    if (b.moveable) {
        handle = new (std::nothrow) HandleTag;
        if (!handle) {
            std::free(data);
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
    }
    std::lock_guard<std::mutex> lock(Lock());
    Blocks()[handle] = b;
    return handle;
}

LPVOID GlobalLock(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> lock(Lock());
    auto it = Blocks().find(hMem);
    if (it == Blocks().end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (it->second.moveable) ++it->second.locks;
    return it->second.data;
}

BOOL GlobalUnlock(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> lock(Lock());
    auto it = Blocks().find(hMem);
    if (it == Blocks().end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Block& b = it->second;
    if (!b.moveable) return TRUE;  // a fixed block has no lock count
    if (b.locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    --b.locks;
    if (b.locks == 0) {
        SetLastError(ERROR_SUCCESS);
        return FALSE;
    }
    return TRUE;
}

HGLOBAL GlobalFree(HGLOBAL hMem)
{
    if (!hMem) return nullptr;
    std::lock_guard<std::mutex> lock(Lock());
    auto it = Blocks().find(hMem);
    if (it == Blocks().end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return hMem;
    }
    std::free(it->second.data);
    if (it->second.moveable) delete static_cast<HandleTag*>(hMem);
    Blocks().erase(it);
    return nullptr;
}
