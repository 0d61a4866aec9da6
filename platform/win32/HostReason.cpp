#include "win32/HostReason.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "win32/Mbcs.h"

namespace hostreason {

namespace {

// The user's words for the failures a user can do something about; the
// others get the system's text alone.
const char* Words(int hostErrno)
{
    switch (hostErrno) {
    case EACCES:
    case EPERM: return "アクセスが拒否されました";
    case ENOENT: return "ファイルまたはフォルダがありません";
    case ENOTDIR: return "パスの途中にフォルダでないものがあります";
    case EISDIR: return "フォルダです";
    case ENOSPC: return "ディスクの空き領域が不足しています";
    case EDQUOT: return "ディスクの使用量の上限を超えました";
    case EFBIG: return "ファイルサイズの上限を超えました";
    case EROFS: return "読み取り専用のファイルシステムです";
    case EIO: return "入出力エラーが発生しました";
    case EMFILE:
    case ENFILE: return "開いているファイルが多すぎます";
    case ENAMETOOLONG: return "パスが長すぎます";
    case ELOOP: return "シンボリックリンクが多すぎます";
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK: return "ほかのプログラムが使用中です";
    case ENXIO: return "デバイスまたは読み手がありません";
    default: return nullptr;
    }
}

}  // namespace

std::string Describe(int hostErrno)
{
    // Not the locale's text: the line is read by whoever looks after the
    // installation, and strerrordesc_np is safe in any thread.
    const char* system = strerrordesc_np(hostErrno);
    std::string text = system ? system : "error " + std::to_string(hostErrno);
    const char* words = Words(hostErrno);
    return words ? mbcs::Cp932ToUtf8(words) + " (" + text + ")" : text;
}

void Tell(const std::string& utf8Line) { std::fprintf(stderr, "zelkor: %s\n", utf8Line.c_str()); }

}  // namespace hostreason
