// Reader of "SUPPORT.INF". See CSupportInfo.h.
//
// The block is allocated one byte longer than the 30000 bytes that hold the
// file: that last byte is never filled or read into and stays NUL, so a value
// that runs to the end of the block (a file of 30000 bytes or more whose last
// value has no line end inside the block) ends there, and no search or walk
// ever has to look outside the block.
#include "report/CSupportInfo.h"

#include <cstring>

const SupportInfoKey SupportInfoKeyTable[kSupportKeyCount] = {
    {"[=製品名=]", 10},
    {"[=製品ﾊﾞｰｼﾞｮﾝ=]", 15},
    {"[=お問い合わせ内容=]", 20},
    {"[=症状が再現する手順や条件=]", 28},
};

namespace {

const char kFileName[] = "SUPPORT.INF";
const char kNoMemory[] = "ﾒﾓﾘが不足しています。";
const char kEmpty[] = "";

constexpr BYTE kFill = 0xFF;
constexpr BYTE kEndOfFile = 0x1A;

bool MarkerAt(const BYTE* block, int pos, const SupportInfoKey& key)
{
    return pos + key.length <= CSupportInfo::kBlockSize && std::memcmp(block + pos, key.marker, key.length) == 0;
}

}  // namespace

CSupportInfo::CSupportInfo() : m_hMemory(nullptr), m_pBlock(nullptr), m_nContent(0) {}

CSupportInfo::~CSupportInfo()
{
    if (m_hMemory != nullptr) {
        GlobalUnlock(m_hMemory);
        GlobalFree(m_hMemory);
    }
}

int CSupportInfo::Load()
{
    // Held from an earlier call: also when that call found no file (the block
    // then holds only the fill).
    if (m_hMemory != nullptr) return 1;

    m_hMemory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, kBlockSize + 1);
    if (m_hMemory != nullptr) {
        m_pBlock = static_cast<BYTE*>(GlobalLock(m_hMemory));
        if (m_pBlock == nullptr) {
            // A block that cannot be locked is as good as none.
            GlobalFree(m_hMemory);
            m_hMemory = nullptr;
        }
    }
    if (m_hMemory == nullptr) {
        AfxMessageBox(kNoMemory, MB_OK);
        return 0;
    }
    std::memset(m_pBlock, kFill, kBlockSize);
    m_pBlock[kBlockSize] = 0;

    m_nContent = 0;
    CFile file;
    if (!file.Open(kFileName, CFile::modeRead | CFile::typeBinary | CFile::shareDenyNone)) return 0;
    try {
        UINT total = 0;
        while (total < static_cast<UINT>(kBlockSize)) {
            UINT got = file.Read(m_pBlock + total, kBlockSize - total);
            if (got == 0) break;
            total += got;
        }
        file.Close();
        m_nContent = static_cast<int>(total);
    } catch (CFileException* e) {
        // A read that fails half way counts as no file: no half-read content
        // is ever taken for a value.
        e->Delete();
        std::memset(m_pBlock, kFill, kBlockSize);
        try {
            file.Close();
        } catch (CFileException* closeError) {
            closeError->Delete();
        }
        return 0;
    }
    Normalize();
    return 1;
}

void CSupportInfo::Normalize()
{
    BYTE* b = m_pBlock;
    // CR LF pairs and the end-of-file byte become terminators; a lone CR or LF
    // stays.
    for (int i = 0; i < kBlockSize; ++i) {
        if (b[i] == '\r' && i + 1 < kBlockSize && b[i + 1] == '\n') {
            b[i] = 0;
            b[i + 1] = 0;
            ++i;
        } else if (b[i] == kEndOfFile) {
            b[i] = 0;
        }
    }
    // The multi-line values keep their inner line ends and end at the line
    // end before the next marker line, or at the end of the file's content.
    for (int i = 0; i < kBlockSize; ++i) {
        const SupportInfoKey* key = nullptr;
        if (MarkerAt(b, i, SupportInfoKeyTable[kSupportKeyInquiry]))
            key = &SupportInfoKeyTable[kSupportKeyInquiry];
        else if (MarkerAt(b, i, SupportInfoKeyTable[kSupportKeyReproduction]))
            key = &SupportInfoKeyTable[kSupportKeyReproduction];
        if (key == nullptr) continue;
        for (int j = i + key->length; j < kBlockSize; ++j) {
            if (j >= m_nContent) {  // the first byte of the fill
                b[j] = 0;
                break;
            }
            if (j + 1 < kBlockSize && b[j] == '[' && b[j + 1] == '=') {
                b[j - 2] = 0;   // j - 2 >= i + 18: always inside the block
                b[j - 1] = 0;
                break;
            }
            if (j + 1 < kBlockSize && b[j] == 0 && b[j + 1] == 0) {
                b[j] = '\r';
                b[j + 1] = '\n';
                ++j;
            }
        }
    }
    // The fill behind a file shorter than the block ends a last one-line
    // value that has no line end, as it ends a multi-line one. A 0xFF byte of
    // the file's own content is part of its value.
    std::memset(b + m_nContent, 0, static_cast<size_t>(kBlockSize - m_nContent));
}

LPCSTR CSupportInfo::FindValue(const SupportInfoKey& key)
{
    if (Load() != 1) return kEmpty;
    // The first position where the whole marker lies inside the block; the
    // value behind it ends, at the latest, at the NUL behind the block.
    for (int i = 0; i + key.length <= kBlockSize; ++i)
        if (std::memcmp(m_pBlock + i, key.marker, key.length) == 0)
            return reinterpret_cast<LPCSTR>(m_pBlock + i + key.length);
    return kEmpty;
}

LPCSTR CSupportInfo::GetProductName()
{
    return FindValue(SupportInfoKeyTable[kSupportKeyProductName]);
}

LPCSTR CSupportInfo::GetProductVersion()
{
    return FindValue(SupportInfoKeyTable[kSupportKeyProductVersion]);
}
