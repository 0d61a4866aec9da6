// Fields of the byte-packed records the report reads (the saved return
// values, the summation's rate and business-kind records), by byte offset:
// they need not be aligned, so they are copied out rather than pointed at.
#pragma once

#include <cstdint>
#include <cstring>

namespace packed {

inline int64_t AmountAt(const void* rec, int offset)
{
    int64_t value;
    std::memcpy(&value, static_cast<const unsigned char*>(rec) + offset, sizeof value);
    return value;
}

inline int32_t IntAt(const void* rec, int offset)
{
    int32_t value;
    std::memcpy(&value, static_cast<const unsigned char*>(rec) + offset, sizeof value);
    return value;
}

// Whether any of the `count` amounts that follow each other from `offset` is
// not zero.
inline bool AnyAmountAt(const void* rec, int offset, int count)
{
    for (int i = 0; i < count; ++i) {
        if (AmountAt(rec, offset + 8 * i) != 0) return true;
    }
    return false;
}

}  // namespace packed
