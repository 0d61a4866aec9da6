// The tax codes of an entry side and what the tax summation makes of them.
// TAXCODES.md in this folder is the same table in words; keep the two equal.
#pragma once

#include <cstddef>

// What a tax code is.
enum class TaxCodeKind {
    Outside,              // outside the tax, and codes the summation adds nowhere
    KazeiUriage,          // taxable sales
    KazeiUriageHenkan,    // taxable sales returns
    MenzeiUriage,         // exempt (export) sales
    MenzeiUriageHenkan,   // exempt sales returns
    HikazeiUriageYuka,    // non-taxable sales of securities
    HikazeiUriageSonota,  // other non-taxable sales
    HikazeiUriageHenkan,  // non-taxable sales returns
    HikazeiShisanYushutsu,// exports of non-taxable assets
    Shiire,               // purchases, by class
    ShiireHenkan,         // purchase returns, by class
    Yunyu,                // import purchases (national tax), by class
    YunyuHenkan,          // import returns (national tax), by class
    YunyuChiho,           // local tax on import purchases
    YunyuHenkanChiho,     // local tax on import returns
    Kashidaore,           // bad debts
    KashidaoreKaishu,     // bad debts collected after write-off
};

// The purchase classes of the deduction by individual attribution.
enum class ShiireClass { None, Kazei, Hikazei, Kyotuu };

struct TaxCodeRule {
    int code;
    TaxCodeKind kind;
    ShiireClass shiireClass;
    int naturalSide;   // 1 debit, 2 credit: the side on which the code adds; the other side subtracts
    bool rated;        // the side carries a tax rate (taxable transactions and imports)
    const char* meaning;
};

class TaxCodeTable {
public:
    // The rule of a code, or null for a code the table does not know.
    static const TaxCodeRule* Find(int code);
    // All rules, in code order.
    static const TaxCodeRule* Begin();
    static size_t Count();

};
