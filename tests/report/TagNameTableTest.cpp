#include "report/TagNameTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const TagForm& f) {
    std::vector<std::string> v;
    for (int i = f.first; i < f.first + f.count; ++i) v.push_back(TagNameTable[i]);
    return v;
}

// The name with its rate token taken out: the token stands directly before
// the first underscore, or at the end of a name without one.
std::string WithoutToken(const std::string& name, const std::string& token) {
    size_t u = name.find('_');
    size_t end = u == std::string::npos ? name.size() : u;
    if (end < token.size() || name.compare(end - token.size(), token.size(), token) != 0) return "<no token>";
    return name.substr(0, end - token.size()) + name.substr(end);
}

const TagForm& Form(const char* code) {
    for (const TagForm& f : TagFormTable)
        if (std::strcmp(f.code, code) == 0) return f;
    ADD_FAILURE() << "no form " << code;
    return TagFormTable[0];
}

}  // namespace

TEST(TagNameTable, EveryEntryIsAText) {
    for (int i = 0; i < kTagNameCount; ++i) {
        ASSERT_NE(TagNameTable[i], nullptr) << i;
        EXPECT_GT(std::strlen(TagNameTable[i]), 0u) << i;
    }
}

TEST(TagNameTable, LabelsAreTheHeaderTexts) {
    const char* expected[tagidx::kLabelCount] = {
        "免税", "簡易課税", "原則課税", "主となる事業分類", "課税仕入控除", "個別対応方式", "一括比例配分方式",
        "指定なし", "第一種事業 卸売業", "第二種事業 小売業", "第三種事業 製造業", "第四種事業 その他",
        "第五種事業 サービス業", "第六種事業 不動産業"};
    for (int i = 0; i < tagidx::kLabelCount; ++i) EXPECT_STREQ(TagNameTable[i], expected[i]) << i;
    // Code page 932 bytes, and a half-width blank between kind and trade.
    EXPECT_STREQ(TagNameTable[tagidx::kTaxKindMenzei], "\x96\xC6\x90\xC5");
    EXPECT_STREQ(TagNameTable[tagidx::kBusinessKind0 + 1], "\x91\xE6\x88\xEA\x8E\xED\x8E\x96\x8B\xC6 \x89\xB5\x94\x84\x8B\xC6");
    EXPECT_STREQ(TagNameTable[tagidx::kDeductionIkkatsu], "一括比例配分方式");
    EXPECT_STREQ(TagNameTable[tagidx::kBusinessKind0 + 6], "第六種事業 不動産業");
}

TEST(TagNameTable, SystemBasicAndRefundBlocks) {
    const char* sys[] = {"GYOUMUPREFIX", "VERSION", "FUNCTIONID", "CONNECTEDPROGRAMVER", "PROGRAMNAME", "PROGRAMVER",
                         "KOMONSAKINAME", "JIGYOUNENDOFROM", "JIGYOUNENDOTO", "HOUJINKOJINKUBUN", "KAZEIKUBUN",
                         "KEIKASHOCHIKAZEISHISAN", "NIWARITOKUREI"};
    for (int i = 0; i < 13; ++i) EXPECT_STREQ(TagNameTable[tagidx::kSystemFirst + i], sys[i]) << i;
    EXPECT_EQ(tagidx::kBasicFirst, 20);
    const char* h[] = {"KESSANZEIKUBUN", "SHOHINSHIIRE1", "SHOHINSHIIRE2", "HANBAIIPPAN1", "HANBAIIPPAN2",
                       "EIGYOGAIHIYOU1", "EIGYOGAIHIYOU2", "SONOTASONEKI1", "SONOTASONEKI2", "SHISANZEIKUBUN",
                       "KOTEISHISAN1", "KOTEISHISAN2", "KURINOBESHISAN1", "KURINOBESHISAN2", "SONOTASISAN1",
                       "SONOTASISAN2"};
    const char* k[] = {"KESSANZEIKUBUN", "JIGYOSHIIRE1", "JIGYOSHIIRE2", "JIGYOHITSUYOU1", "JIGYOHITSUYOU2",
                       "JIGYOKOTEISHISAN1", "JIGYOKOTEISHISAN2", "FUDOUSANHITSUYOU1", "FUDOUSANHITSUYOU2",
                       "FUDOUSANKOTEISHISAN1", "FUDOUSANKOTEISHISAN2", "SONOTASHIIRE1", "SONOTASHIIRE2",
                       "SONOTAHITSUYOU1", "SONOTAHITSUYOU2", "SONOTAKOTEISHISAN1", "SONOTAKOTEISHISAN2"};
    ASSERT_EQ(tagidx::kKanpuHFirst, 729);
    ASSERT_EQ(tagidx::kKanpuKFirst, 745);
    for (int i = 0; i < tagidx::kKanpuHCount; ++i) EXPECT_STREQ(TagNameTable[729 + i], h[i]) << i;
    for (int i = 0; i < tagidx::kKanpuKCount; ++i) EXPECT_STREQ(TagNameTable[745 + i], k[i]) << i;
    EXPECT_EQ(tagidx::kKanpuHCount + tagidx::kKanpuKCount, 33);
}

TEST(TagNameTable, FormLayoutCoversTheValueBlocksInOrder) {
    const char* codes[kTagFormCount] = {
        "D020114", "D020113", "D020110", "D020111", "D020112", "D020124", "D020123", "D020120", "D020121", "D020122",
        "D020134", "D020133", "D020130", "D020131", "D020132", "D02204",  "D02203",  "D02200",  "D02201",  "D02202",
        "D02300",  "D020214", "D020213", "D020210", "D020211", "D020212", "D020224", "D020223", "D020220", "D020221",
        "D020222", "D020234", "D020233", "D020230", "D020231", "D020232", "D02400"};
    const int counts[kTagFormCount] = {19, 19, 19, 19, 19, 110, 104, 110, 96, 96, 12, 12, 12, 12, 12, 6, 6, 6, 6,
                                       6,  1,  43, 43, 43, 43, 43,  43,  43, 43, 43, 43, 12, 12, 12, 12, 12, 1};
    int next = tagidx::kGeneralSalesFirst;
    int total = 0;
    for (int f = 0; f < kTagFormCount; ++f) {
        EXPECT_STREQ(TagFormTable[f].code, codes[f]) << f;
        EXPECT_EQ(TagFormTable[f].count, counts[f]) << codes[f];
        if (f == 21) next = tagidx::kSimplifiedSalesFirst;   // KANPUH and KANPUK stand between D02300 and D020214
        EXPECT_EQ(TagFormTable[f].first, next) << codes[f];
        next = TagFormTable[f].first + TagFormTable[f].count;
        total += TagFormTable[f].count;
    }
    EXPECT_EQ(next, kTagNameCount);
    EXPECT_EQ(total, 1193);
    EXPECT_EQ(total + 33 + tagidx::kGeneralSalesFirst, kTagNameCount);
    EXPECT_EQ(Form("D02300").first, tagidx::kMenzeiKikanGeneral);
    EXPECT_EQ(Form("D02400").first, tagidx::kMenzeiKikanSimplified);
    EXPECT_EQ(Form("D020234").first, tagidx::kSimplifiedBadDebtFirst);
    EXPECT_EQ(Form("D020224").first, tagidx::kSimplifiedReturnsFirst);
    EXPECT_EQ(Form("D020134").first, tagidx::kGeneralBadDebtFirst);
    EXPECT_EQ(Form("D02204").first, tagidx::kAdjustmentFirst);
    EXPECT_EQ(Form("D020124").first, tagidx::kGeneralPurchaseFirst);
}

TEST(TagNameTable, RateDigitsRunFourThreeZeroOneTwo) {
    // Every per-rate family: five consecutive forms whose codes differ only in
    // the last digit, in the rate order.
    const char digits[] = {'4', '3', '0', '1', '2'};
    for (int f = 0; f < kTagFormCount; ++f) {
        std::string code = TagFormTable[f].code;
        if (code == "D02300" || code == "D02400") continue;
        int r = (f < 21 ? f : f - 21) % 5;
        EXPECT_EQ(code.back(), digits[r]) << code;
        EXPECT_EQ(TagRateDigit[r], digits[r]);
        std::string first = TagFormTable[f - r].code;
        EXPECT_EQ(code.substr(0, code.size() - 1), first.substr(0, first.size() - 1)) << code;
    }
}

TEST(TagNameTable, SpotNames) {
    const std::map<int, const char*> spots = {
        {27, "KAZEIURIAGEZEINUKI10_TSUMIAGE"},
        {33, "MENZEIURIAGEZEINUKI10"},
        {34, "HIKAZEIURIAGEYUUKAZEINUKI10"},
        {45, "HIKAZEISHISANHENKANZEINUKI10"},
        {46, "KAZEIURIAGEZEINUKI8K_TSUMIAGE"},
        {65 + 13, "KAZEIURIAGEHENKANZEINUKI8_WARIMODOSHI"},
        {121, "HIKAZEISHISANHENKANZEINUKI3"},
        {122, "SHIIREKAZEIZEINUKI10_TSUMIAGE"},
        {131, "SHIIREKAZEIZEINUKI10_WARIMODOSHI"},
        {139, "SHIIREKYOTUUZEIKOMI10_WARIMODOSHI"},
        {140, "SHIIREKAZEIZEIGAKU10_INVOICEIGAI_TSUMIAGE_GENSOKU"},
        {145, "SHIIREKYOTUUZEIKOMI10_INVOICEIGAI_TSUMIAGE_GENSOKU"},
        {146, "SHIIREKAZEIZEIGAKU10_INVOICEIGAI_TSUMIAGE_KANBEN"},
        {152, "SHIIREKAZEIZEINUKI10_INVOICEIGAI_WARIMODOSHI80"},
        {161, "SHIIREKAZEIZEINUKI10_INVOICEIGAI_WARIMODOSHI50"},
        {170, "TOKUTEISHIIREKAZEIZEINUKI10"},
        {173, "YUNYUSHIIREKAZEIZEIGAKU10"},
        {176, "YUNYUSHIIRETIHO10"},
        {177, "SHIIREHENKANKAZEIZEINUKI10_TSUMIAGE"},
        {224, "SHIIREHENKANKYOTUUZEIKOMI10_INVOICEIGAI_WARIMODOSHI50"},
        {225, "TOKUTEISHIIREHENKANKAZEIZEINUKI10"},
        {228, "YUNYUHENKANKAZEIZEIGAKU10"},
        {231, "YUNYUHENKANTIHO10"},
        {232, "SHIIREKAZEIZEINUKI8K_TSUMIAGE"},
        {280, "YUNYUSHIIREKAZEIZEIGAKU8K"},
        {283, "YUNYUSHIIRETIHO8K"},
        {284, "SHIIREHENKANKAZEIZEINUKI8K_TSUMIAGE"},
        {332, "YUNYUHENKANKAZEIZEIGAKU8K"},
        {335, "YUNYUHENKANTIHO8K"},
        {336, "SHIIREKAZEIZEINUKI8_TSUMIAGE"},
        {384, "TOKUTEISHIIREKAZEIZEINUKI8"},
        {439, "TOKUTEISHIIREHENKANKAZEIZEINUKI8"},
        {445, "YUNYUHENKANTIHO8"},
        {446, "SHIIREKAZEIZEINUKI5_TSUMIAGE"},
        {493, "SHIIREKYOTUUZEIKOMI5_INVOICEIGAI_WARIMODOSHI50"},
        {494, "SHIIREHENKANKAZEIZEINUKI5_TSUMIAGE"},
        {541, "SHIIREHENKANKYOTUUZEIKOMI5_INVOICEIGAI_WARIMODOSHI50"},
        {542, "SHIIREKAZEIZEINUKI3_TSUMIAGE"},
        {637, "SHIIREHENKANKYOTUUZEIKOMI3_INVOICEIGAI_WARIMODOSHI50"},
        {638, "KASHIDAOREZEINUKI10_TSUMIAGE"},
        {644, "KASHIDAOREKAISHUZEINUKI10_TSUMIAGE"},
        {697, "KASHIDAOREKAISHUZEIKOMI3_WARIMODOSHI"},
        {698, "GIMUMENJOKAZEI10"},
        {701, "KAZEIURIAGEWARIAIHENDO10"},
        {704, "GIMUMENJOKAZEI8K"},
        {727, "KYOJUYOCHINTAI3"},
        {728, "MENZEIKIKANKAZEIURIAGE"},
        {762, "KAZEIURIAGE1SHUZEINUKI10_TSUMIAGE"},
        {767, "KAZEIURIAGE1SHUZEIKOMI10_WARIMODOSHI"},
        {774, "KAZEIURIAGE3SHUZEINUKI10_TSUMIAGE"},
        {797, "KAZEIURIAGE6SHUZEIKOMI10_WARIMODOSHI"},
        {798, "KAZEIURIAGEZEROZEINUKI10_TSUMIAGE"},
        {803, "KAZEIURIAGEZEROZEIKOMI10_WARIMODOSHI"},
        {804, "MENZEIURIAGEZEINUKI10"},
        {805, "KAZEIURIAGE1SHUZEINUKI8K_TSUMIAGE"},
        {891 + 22, "KAZEIURIAGE4SHUZEIGAKU5_WARIMODOSHI"},
        {976, "MENZEIURIAGEZEINUKI3"},
        {977, "KAZEIHENKAN1SHUZEINUKI10_TSUMIAGE"},
        {1013, "KAZEIHENKANZEROZEINUKI10_TSUMIAGE"},
        {1019, "MENZEIURIAGEHENKANZEINUKI10"},
        {1149 + 5, "KAZEIHENKAN1SHUZEIKOMI3_WARIMODOSHI"},
        {1191, "MENZEIURIAGEHENKANZEINUKI3"},
        {1192, "KASHIDAOREZEINUKI10_TSUMIAGE"},
        {1216, "KASHIDAOREZEINUKI8_TSUMIAGE"},
        {1251, "KASHIDAOREKAISHUZEIKOMI3_WARIMODOSHI"},
        {1252, "MENZEIKIKANKAZEIURIAGE"},
    };
    for (const auto& [i, name] : spots) EXPECT_STREQ(TagNameTable[i], name) << "index " << i;
}

TEST(TagNameTable, OtherRatesRepeatTheTenPercentNames) {
    // Lists A, C, D, E, F: the same names in the same order, token replaced.
    for (int f = 0; f < kTagFormCount; ++f) {
        std::string code = TagFormTable[f].code;
        if (code == "D02300" || code == "D02400" || code.rfind("D02012", 0) == 0) continue;
        int r = (f < 21 ? f : f - 21) % 5;
        std::vector<std::string> ten = Names(TagFormTable[f - r]);
        std::vector<std::string> mine = Names(TagFormTable[f]);
        ASSERT_EQ(mine.size(), ten.size()) << code;
        for (size_t i = 0; i < ten.size(); ++i)
            EXPECT_EQ(WithoutToken(mine[i], TagRateToken[r]), WithoutToken(ten[i], "10")) << code << " " << i;
    }
}

TEST(TagNameTable, PurchaseFormsHaveTheDocumentedGaps) {
    std::vector<std::string> ten;
    for (const std::string& n : Names(Form("D020124"))) ten.push_back(WithoutToken(n, "10"));
    auto expectFrom = [&](const char* code, const char* token, bool tokutei, bool yunyu) {
        std::vector<std::string> expected;
        for (const std::string& n : ten) {
            if (!tokutei && n.rfind("TOKUTEI", 0) == 0) continue;
            if (!yunyu && n.rfind("YUNYU", 0) == 0) continue;
            expected.push_back(n);
        }
        std::vector<std::string> got;
        for (const std::string& n : Names(Form(code))) got.push_back(WithoutToken(n, token));
        EXPECT_EQ(got, expected) << code;
    };
    expectFrom("D020123", "8K", false, true);
    expectFrom("D020120", "8", true, true);
    expectFrom("D020121", "5", false, false);
    expectFrom("D020122", "3", false, false);

    // The 10 % form itself: 6 specified-purchase and 8 import names, and runs
    // of 9, 9, 6, 6, 9, 9, 7 twice.
    int tokutei = 0, yunyu = 0, gensoku = 0, kanben = 0, w80 = 0, w50 = 0;
    for (const std::string& n : ten) {
        tokutei += n.rfind("TOKUTEI", 0) == 0;
        yunyu += n.rfind("YUNYU", 0) == 0;
        gensoku += n.find("_INVOICEIGAI_TSUMIAGE_GENSOKU") != std::string::npos;
        kanben += n.find("_INVOICEIGAI_TSUMIAGE_KANBEN") != std::string::npos;
        w80 += n.find("_INVOICEIGAI_WARIMODOSHI80") != std::string::npos;
        w50 += n.find("_INVOICEIGAI_WARIMODOSHI50") != std::string::npos;
        EXPECT_EQ(n.find("ZEINUKI_INVOICEIGAI_TSUMIAGE"), std::string::npos) << n;
    }
    EXPECT_EQ(tokutei, 6);
    EXPECT_EQ(yunyu, 8);
    EXPECT_EQ(gensoku, 12);
    EXPECT_EQ(kanben, 12);
    EXPECT_EQ(w80, 18);
    EXPECT_EQ(w50, 18);
}

TEST(TagNameTable, TsumiageAndWarimodoshiComeInPairs) {
    std::set<std::string> all(TagNameTable, TagNameTable + kTagNameCount);
    for (const std::string& n : all) {
        size_t p = n.rfind("_TSUMIAGE");
        if (p != std::string::npos && p + 9 == n.size()) {
            EXPECT_TRUE(all.count(n.substr(0, p) + "_WARIMODOSHI")) << n;
        }
        p = n.rfind("_WARIMODOSHI");
        if (p != std::string::npos && p + 12 == n.size()) {
            EXPECT_TRUE(all.count(n.substr(0, p) + "_TSUMIAGE")) << n;
        }
    }
}

TEST(TagNameTable, NamesAreUniqueWithinEveryElement) {
    auto unique = [](int first, int count, const char* what) {
        std::set<std::string> seen;
        for (int i = first; i < first + count; ++i) EXPECT_TRUE(seen.insert(TagNameTable[i]).second) << what << " " << i;
    };
    unique(0, tagidx::kLabelCount, "labels");
    unique(tagidx::kSystemFirst, 13, "SYSTEM/BASIC");
    unique(tagidx::kKanpuHFirst, tagidx::kKanpuHCount, "KANPUH");
    unique(tagidx::kKanpuKFirst, tagidx::kKanpuKCount, "KANPUK");
    for (const TagForm& f : TagFormTable) unique(f.first, f.count, f.code);
}

TEST(TagNameTable, OnlyTheDocumentedNamesRecurAcrossForms) {
    // Which blocks each text stands in.
    std::map<std::string, std::vector<std::string>> where;
    for (const TagForm& f : TagFormTable)
        for (int i = f.first; i < f.first + f.count; ++i) where[TagNameTable[i]].push_back(f.code);
    int recurring = 0;
    for (const auto& [name, forms] : where) {
        if (forms.size() == 1) continue;
        ++recurring;
        ASSERT_EQ(forms.size(), 2u) << name;
        std::string a = forms[0], b = forms[1];
        bool badDebt = a.rfind("D02013", 0) == 0 && b == "D02023" + a.substr(6);
        bool menzeiKikan = a == "D02300" && b == "D02400";
        // The exempt sales and their returns close the simplified-taxation
        // sales and returns forms under the names of the general sales form.
        bool exemptSales = a.rfind("D02011", 0) == 0 &&
                           (b == "D02021" + a.substr(6) || b == "D02022" + a.substr(6)) &&
                           name.rfind("MENZEIURIAGE", 0) == 0;
        EXPECT_TRUE(badDebt || menzeiKikan || exemptSales) << name << " in " << a << " and " << b;
    }
    EXPECT_EQ(recurring, 60 + 1 + 10);
    // The refund blocks share KESSANZEIKUBUN only.
    std::set<std::string> h(TagNameTable + 729, TagNameTable + 745);
    int shared = 0;
    for (int i = 745; i < 762; ++i) shared += h.count(TagNameTable[i]);
    EXPECT_EQ(shared, 1);
}
