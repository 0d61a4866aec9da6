#include "suite/ClUtyDBHpr.h"

ClUtyDBHpr* ClUtyDBHpr::Inst()
{
    static ClUtyDBHpr helper;
    return &helper;
}

long ClUtyDBHpr::MakeIDStr(LPCVOID pDataInfo, LPSTR pszIDStr)
{
    if (!pszIDStr) return SUITE_ERR_PARAM;
    pszIDStr[0] = '\0';
    if (!pDataInfo) return SUITE_ERR_PARAM;
    static const char hex[] = "0123456789ABCDEF";
    const BYTE* id = static_cast<const BYTE*>(pDataInfo);
    char* out = pszIDStr;
    *out++ = '{';
    for (int i = 0; i < SUITE_DATAID_SIZE; ++i) {
        *out++ = hex[id[i] >> 4];
        *out++ = hex[id[i] & 0x0F];
    }
    *out++ = '}';
    *out = '\0';
    return SUITE_OK;
}
