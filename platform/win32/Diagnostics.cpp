// The debug output and host names the program may use to tell whoever looks
// after the installation what it looked for and where (Kernel.h).
#include "win32/Kernel.h"

#include "win32/DriveMap.h"
#include "win32/HostReason.h"
#include "win32/Mbcs.h"

#include <cstring>
#include <string>

void OutputDebugStringA(LPCSTR lpOutputString)
{
    if (!lpOutputString) return;
    std::string text = mbcs::Cp932ToUtf8(lpOutputString);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    hostreason::Tell(text);
}

DWORD GetHostPathNameA(LPCSTR lpWindowsPath, LPSTR lpBuffer, DWORD nBufferLength)
{
    if (!lpWindowsPath || !lpBuffer || nBufferLength == 0) return 0;
    const std::string host = DriveMap::ToHostPath(lpWindowsPath);
    if (host.empty()) {
        lpBuffer[0] = '\0';
        return 0;
    }
    const std::string text = mbcs::Utf8ToCp932(host);
    size_t n = text.size() < nBufferLength - 1 ? text.size() : nBufferLength - 1;
    // Never half a double-byte character.
    if (n < text.size() && n > 0 && mbcs::IsTrailAt(text, n)) --n;
    std::memcpy(lpBuffer, text.data(), n);
    lpBuffer[n] = '\0';
    return static_cast<DWORD>(n);
}
