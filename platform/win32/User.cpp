// Provisional: only what the platform needs before the window registry exists.
// Replaced whole by the window registry's implementation.
#include "win32/User.h"

#include "win32/Mbcs.h"

#include <cstdio>
#include <string>

int MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT)
{
    std::fprintf(stderr, "[%s] %s\n", mbcs::Cp932ToUtf8(lpCaption ? lpCaption : "").c_str(),
                 mbcs::Cp932ToUtf8(lpText ? lpText : "").c_str());
    return IDOK;
}
