#include "suite/TaxCodeTable.h"

namespace {

using K = TaxCodeKind;
using C = ShiireClass;

// Sales-kind codes lie in 21 to 29 apart from 24, so that the refund
// statement, which counts every side of a code up to 20, 24 or from 30 on,
// counts exactly the purchase and expense sides.
const TaxCodeRule kRules[] = {
    {0, K::Outside, C::None, 0, false, "outside the tax"},
    {1, K::Shiire, C::Kazei, 1, true, "purchase for taxable sales"},
    {2, K::Shiire, C::Hikazei, 1, true, "purchase for non-taxable sales"},
    {3, K::Shiire, C::Kyotuu, 1, true, "purchase common to taxable and non-taxable sales"},
    {4, K::ShiireHenkan, C::Kazei, 2, true, "purchase return, for taxable sales"},
    {5, K::ShiireHenkan, C::Hikazei, 2, true, "purchase return, for non-taxable sales"},
    {6, K::ShiireHenkan, C::Kyotuu, 2, true, "purchase return, common"},
    {7, K::Kashidaore, C::None, 1, true, "bad debt"},
    {8, K::KashidaoreKaishu, C::None, 2, true, "bad debt collected after write-off"},
    {21, K::KazeiUriage, C::None, 2, true, "taxable sale"},
    {22, K::KazeiUriageHenkan, C::None, 1, true, "taxable sales return"},
    {23, K::MenzeiUriage, C::None, 2, false, "exempt sale (export)"},
    {24, K::Outside, C::None, 0, false, "non-taxable purchase"},
    {25, K::MenzeiUriageHenkan, C::None, 1, false, "exempt sales return"},
    {26, K::HikazeiUriageYuka, C::None, 2, false, "non-taxable sale of securities"},
    {27, K::HikazeiUriageSonota, C::None, 2, false, "other non-taxable sale"},
    {28, K::HikazeiUriageHenkan, C::None, 1, false, "non-taxable sales return"},
    {29, K::HikazeiShisanYushutsu, C::None, 2, false, "export of a non-taxable asset"},
    {30, K::Outside, C::None, 0, false, "import, value of the goods"},
    {31, K::Outside, C::None, 0, true, "import for taxable sales, split undetermined"},
    {32, K::Outside, C::None, 0, true, "import for non-taxable sales, split undetermined"},
    {33, K::Outside, C::None, 0, true, "import common, split undetermined"},
    {34, K::Outside, C::None, 0, true, "import, class and split undetermined"},
    {35, K::Outside, C::None, 0, true, "import return for taxable sales, split undetermined"},
    {36, K::Outside, C::None, 0, true, "import return for non-taxable sales, split undetermined"},
    {37, K::Outside, C::None, 0, true, "import return common, split undetermined"},
    {40, K::Yunyu, C::Kazei, 1, true, "import for taxable sales, national tax"},
    {41, K::Yunyu, C::Hikazei, 1, true, "import for non-taxable sales, national tax"},
    {42, K::Yunyu, C::Kyotuu, 1, true, "import common, national tax"},
    {43, K::YunyuChiho, C::None, 1, true, "import, local tax"},
    {44, K::YunyuHenkan, C::Kazei, 2, true, "import return for taxable sales, national tax"},
    {45, K::YunyuHenkan, C::Hikazei, 2, true, "import return for non-taxable sales, national tax"},
    {46, K::YunyuHenkan, C::Kyotuu, 2, true, "import return common, national tax"},
    {47, K::YunyuHenkanChiho, C::None, 2, true, "import return, local tax"},
};

} // namespace

const TaxCodeRule* TaxCodeTable::Find(int code)
{
    for (const TaxCodeRule& rule : kRules)
        if (rule.code == code)
            return &rule;
    return nullptr;
}

const TaxCodeRule* TaxCodeTable::Begin() { return kRules; }

size_t TaxCodeTable::Count() { return sizeof kRules / sizeof kRules[0]; }
