// The host's reason for a failed call, for the lines the platform writes on
// standard error: the Windows error codes the program sees lose it (a full
// disk and a file-size limit are both ERROR_DISK_FULL, a folder the user may
// not search reads as a missing file). Offered to the other platform layers
// only.
#pragma once

#include <string>

namespace hostreason {

// The reason for errno value `hostErrno` in UTF-8: Japanese words, then the
// system's own text, e.g. "アクセスが拒否されました (Permission denied)".
std::string Describe(int hostErrno);

// Writes "zelkor: <utf8Line>" as one line on standard error.
void Tell(const std::string& utf8Line);

}  // namespace hostreason
