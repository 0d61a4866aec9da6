// The table of label texts and element names of the link file.
//
// One read-only table of NUL-terminated code page 932 texts, indexed from 0:
// the labels of the conditions dialog's header texts, the element names of
// SYSTEM and BASIC, the value names of every form element of DATA in the order
// they are written, and the names of the refund-statement blocks KANPUH and
// KANPUK. A form's names are addressed by the first index of its block plus the
// position in the form; the same text may stand in several blocks (the bad-debt
// names of the general and of the simplified-taxation forms, and
// MENZEIKIKANKAZEIURIAGE of D02300 and D02400), but never twice in one block.
#pragma once

// Number of texts in TagNameTable.
inline constexpr int kTagNameCount = 1253;

extern const char* const TagNameTable[kTagNameCount];

// Indexes into TagNameTable.
namespace tagidx {

// Labels of the header texts: taxation kinds 0 to 2, the labels for kinds 1
// and 2, the deduction methods 0 and 1, and business kinds 0 to 6.
inline constexpr int kTaxKindMenzei = 0;        // "免税"
inline constexpr int kTaxKindKani = 1;          // "簡易課税"
inline constexpr int kTaxKindGensoku = 2;       // "原則課税"
inline constexpr int kLabelMainBusiness = 3;    // "主となる事業分類"
inline constexpr int kLabelDeduction = 4;       // "課税仕入控除"
inline constexpr int kDeductionKobetsu = 5;     // "個別対応方式"
inline constexpr int kDeductionIkkatsu = 6;     // "一括比例配分方式"
inline constexpr int kBusinessKind0 = 7;        // "指定なし"; kinds 1 to 6 follow at 8 to 13
inline constexpr int kLabelCount = 14;

inline constexpr int kSystemFirst = 14;         // GYOUMUPREFIX .. PROGRAMVER (6)
inline constexpr int kBasicFirst = 20;          // KOMONSAKINAME .. NIWARITOKUREI (7)

inline constexpr int kGeneralSalesFirst = 27;       // D020114 .. D020112, 19 each
inline constexpr int kGeneralPurchaseFirst = 122;   // D020124 .. D020122: 110, 104, 110, 96, 96
inline constexpr int kGeneralBadDebtFirst = 638;    // D020134 .. D020132, 12 each
inline constexpr int kAdjustmentFirst = 698;        // D02204 .. D02202, 6 each
inline constexpr int kMenzeiKikanGeneral = 728;     // D02300
inline constexpr int kKanpuHFirst = 729;            // 16 names
inline constexpr int kKanpuKFirst = 745;            // 17 names
inline constexpr int kSimplifiedSalesFirst = 762;   // D020214 .. D020212, 43 each
inline constexpr int kSimplifiedReturnsFirst = 977; // D020224 .. D020222, 43 each
inline constexpr int kSimplifiedBadDebtFirst = 1192;// D020234 .. D020232, 12 each
inline constexpr int kMenzeiKikanSimplified = 1252; // D02400

inline constexpr int kKanpuHCount = 16;
inline constexpr int kKanpuKCount = 17;

// Positions inside a simplified-taxation sales or returns form (43 names):
// business kind k (1 to 6) has its six names at 6 * (k - 1), the six ZERO
// names stand at 36, the exempt-sales name last at 42.
inline constexpr int kSimplifiedKindSize = 6;
inline constexpr int kSimplifiedZero = 36;
inline constexpr int kSimplifiedLast = 42;

}  // namespace tagidx

// One form element of DATA: its code (the element name) and its value names
// in TagNameTable.
struct TagForm {
    const char* code;
    int first;   // index of the first value name
    int count;   // number of value names
};

// The 37 form elements of DATA in file order. Every per-rate family runs in
// the rate order 10 %, reduced 8 %, 8 %, 5 %, 3 %, so the last digits of the
// codes run 4, 3, 0, 1, 2.
inline constexpr int kTagFormCount = 37;
extern const TagForm TagFormTable[kTagFormCount];

// Rate order of every per-rate family (rate index 0 to 4): the rate token in
// the value names and the last digit of the form code.
inline constexpr int kTagRateCount = 5;
extern const char* const TagRateToken[kTagRateCount];   // "10", "8K", "8", "5", "3"
extern const char TagRateDigit[kTagRateCount];          // '4', '3', '0', '1', '2'
