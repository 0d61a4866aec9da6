// The meaning given to each value element of DATA agrees with its name in the
// element-name table, for every position of every form.
#include "report/DataLayout.h"
#include "report/TagNameTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using L = DataLayout;

// The name a slot stands for, built from its parts as the file's names are.
std::string NameOf(const L::Slot& s, int rate)
{
    static const char* const kClass[] = {"KAZEI", "HIKAZEI", "KYOTUU"};
    static const char* const kPart[] = {"ZEINUKI", "ZEIGAKU", "ZEIKOMI"};
    std::string stem;
    bool hasPart = true;
    bool hasRate = true;
    switch (s.family) {
    case L::KazeiUriage: stem = "KAZEIURIAGE"; break;
    case L::KazeiUriageHenkan: stem = "KAZEIURIAGEHENKAN"; break;
    case L::MenzeiUriage: stem = "MENZEIURIAGE"; break;
    case L::HikazeiYuuka: stem = "HIKAZEIURIAGEYUUKA"; break;
    case L::HikazeiYuukaIgai: stem = "HIKAZEIURIAGEYUUKAIGAI"; break;
    case L::HikazeiShisanYushutsu: stem = "HIKAZEISHISANYUSHUTSU"; break;
    case L::MenzeiUriageHenkan: stem = "MENZEIURIAGEHENKAN"; break;
    case L::HikazeiUriageHenkan: stem = "HIKAZEIURIAGEHENKAN"; break;
    case L::HikazeiShisanHenkan: stem = "HIKAZEISHISANHENKAN"; break;
    case L::Shiire: stem = std::string(s.henkan ? "SHIIREHENKAN" : "SHIIRE") + kClass[s.cls]; break;
    case L::TokuteiShiire: stem = std::string(s.henkan ? "TOKUTEISHIIREHENKAN" : "TOKUTEISHIIRE") + kClass[s.cls]; break;
    case L::YunyuShiire: stem = std::string(s.henkan ? "YUNYUHENKAN" : "YUNYUSHIIRE") + kClass[s.cls]; break;
    case L::YunyuTiho: stem = s.henkan ? "YUNYUHENKANTIHO" : "YUNYUSHIIRETIHO"; hasPart = false; break;
    case L::Kashidaore: stem = "KASHIDAORE"; break;
    case L::KashidaoreKaishu: stem = "KASHIDAOREKAISHU"; break;
    case L::GimuMenjo: stem = std::string("GIMUMENJO") + kClass[s.cls]; hasPart = false; break;
    case L::KazeiUriageWariaiHendo: stem = "KAZEIURIAGEWARIAIHENDO"; hasPart = false; break;
    case L::KazeiGyomuyoTenyo: stem = "KAZEIGYOMUYOTENYO"; hasPart = false; break;
    case L::KyojuyoChintai: stem = "KYOJUYOCHINTAI"; hasPart = false; break;
    case L::KaniUriage:
    case L::KaniHenkan:
        stem = s.family == L::KaniUriage ? "KAZEIURIAGE" : "KAZEIHENKAN";
        stem += s.kind == 0 ? std::string("ZERO") : std::to_string(s.kind) + "SHU";
        break;
    case L::MenzeiKikanKazeiUriage: stem = "MENZEIKIKANKAZEIURIAGE"; hasPart = false; hasRate = false; break;
    }
    if (hasPart) stem += kPart[s.part];
    if (hasRate) stem += TagRateToken[rate];
    switch (s.method) {
    case L::None: break;
    case L::Tsumiage: stem += "_TSUMIAGE"; break;
    case L::Warimodoshi: stem += "_WARIMODOSHI"; break;
    case L::InvoiceGensoku: stem += "_INVOICEIGAI_TSUMIAGE_GENSOKU"; break;
    case L::InvoiceKanben: stem += "_INVOICEIGAI_TSUMIAGE_KANBEN"; break;
    case L::Invoice80: stem += "_INVOICEIGAI_WARIMODOSHI80"; break;
    case L::Invoice50: stem += "_INVOICEIGAI_WARIMODOSHI50"; break;
    }
    return stem;
}

TEST(DataLayout, EverySlotIsTheNameAtItsPositionInTheTable)
{
    L::Slot slots[L::kMaxSlots];
    int total = 0;
    for (int form = 0; form < kTagFormCount; ++form) {
        const int count = L::Slots(form, slots);
        ASSERT_EQ(count, TagFormTable[form].count) << TagFormTable[form].code;
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(NameOf(slots[i], L::RateOf(form)), TagNameTable[TagFormTable[form].first + i])
                << TagFormTable[form].code << " position " << i;
        }
        total += count;
    }
    EXPECT_EQ(total, 1193);
}

TEST(DataLayout, FormKindsAndRatesFollowTheFileOrder)
{
    EXPECT_EQ(L::KindOf(0), L::GeneralSales);
    EXPECT_EQ(L::KindOf(9), L::GeneralPurchases);
    EXPECT_EQ(L::RateOf(9), 4);
    EXPECT_EQ(L::KindOf(20), L::MenzeiKikanGeneral);
    EXPECT_EQ(L::KindOf(21), L::KaniSales);
    EXPECT_EQ(L::RateOf(22), 1);
    EXPECT_EQ(L::KindOf(30), L::KaniReturns);
    EXPECT_EQ(L::KindOf(35), L::KaniBadDebts);
    EXPECT_EQ(L::KindOf(36), L::MenzeiKikanKani);
    // The code's last digit is the rate digit of the slot's rate.
    for (int form = 0; form < kTagFormCount; ++form) {
        if (form == 20 || form == 36) continue;
        const std::string code = TagFormTable[form].code;
        EXPECT_EQ(code.back(), TagRateDigit[L::RateOf(form)]) << code;
    }
}

}  // namespace
