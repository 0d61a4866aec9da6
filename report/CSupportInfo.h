// Reader of the bookkeeping product's support-information file "SUPPORT.INF".
//
// The file is a code page 932 text of marked fields: a marker "[=name=]"
// followed by its value, which runs to the line end, or, for the two
// multi-line fields, up to the line before the next marker line. The reader
// loads the file's first 30000 bytes once into a global memory block filled
// with 0xFF, turns line ends into terminators in place (keeping the inner line
// ends of the multi-line values) and hands out pointers to the values behind
// the product-name and product-version markers. Only the fill behind the
// file's content ends a value that has no line end; a 0xFF byte of the file
// itself is part of its value. A missing file or marker gives an empty text,
// and so does a FIFO or device at the file's name (the file layer opens
// regular files only); nothing here ever stops an export.
#pragma once

#include "mfc/Afx.h"

// A marker of the support-information file and its length in bytes.
struct SupportInfoKey {
    const char* marker;
    int length;
};

// The markers the reader knows. The file holds further fields (21 markers in
// all), whose values the program never takes; a field of any marker is
// delimited by its line ends alone, so they need no entry here.
enum SupportInfoKeyIndex {
    kSupportKeyProductName = 0,     // "[=製品名=]"
    kSupportKeyProductVersion = 1,  // "[=製品ﾊﾞｰｼﾞｮﾝ=]"
    kSupportKeyInquiry = 2,         // "[=お問い合わせ内容=]", multi-line
    kSupportKeyReproduction = 3,    // "[=症状が再現する手順や条件=]", multi-line
    kSupportKeyCount = 4
};
extern const SupportInfoKey SupportInfoKeyTable[kSupportKeyCount];

class CSupportInfo {
public:
    // Bytes of the block that hold the file's content: bytes beyond are never read.
    static constexpr int kBlockSize = 30000;

    CSupportInfo();
    virtual ~CSupportInfo();
    CSupportInfo(const CSupportInfo&) = delete;
    CSupportInfo& operator=(const CSupportInfo&) = delete;

    // 1 when a block is held after the call (loaded now or earlier), 0 when
    // the memory was not obtained or the file could not be opened or read.
    // The file is read at most once per reader.
    int Load();

    // The value behind the product-name / product-version marker, inside the
    // block, or an empty text. Valid as long as the reader lives.
    LPCSTR GetProductName();
    LPCSTR GetProductVersion();

    // The block as loaded and normalised (null before the first load): for
    // inspection of the reader's work.
    const BYTE* GetBlock() const { return m_pBlock; }

protected:
    // Turns the loaded block into terminated values (called by Load only).
    void Normalize();

private:
    LPCSTR FindValue(const SupportInfoKey& key);

    HGLOBAL m_hMemory;
    BYTE* m_pBlock;
    // Bytes of the block that the file filled; the 0xFF fill follows them.
    int m_nContent;
};
