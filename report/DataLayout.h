// What each value element of DATA stands for.
//
// The element names of a form come from TagNameTable; this describes, for
// every position of every form, the figure the name belongs to (line of the
// form, purchase class or business kind, amount part, calculation method),
// so that both fillers pick their amounts by meaning instead of by position.
// The forms of the reduced 8 %, 5 % and 3 % purchases lack some names; the
// slots of a form are exactly its names, in file order.
#pragma once

#include <cstdint>

class DataLayout {
public:
    // The line of the form a value belongs to.
    enum Family : uint8_t {
        KazeiUriage,          // taxable sales (general forms)
        KazeiUriageHenkan,    // returns on taxable sales (general forms)
        MenzeiUriage,         // exempt sales; also the last name of a simplified sales form
        HikazeiYuuka,         // non-taxable sales of securities
        HikazeiYuukaIgai,     // other non-taxable sales
        HikazeiShisanYushutsu,
        MenzeiUriageHenkan,   // returns on exempt sales; also the last name of a simplified returns form
        HikazeiUriageHenkan,
        HikazeiShisanHenkan,
        Shiire,               // purchases by class (henkan: their returns)
        TokuteiShiire,        // specified purchases by class
        YunyuShiire,          // tax on import purchases by class
        YunyuTiho,            // local tax on import purchases
        Kashidaore,
        KashidaoreKaishu,
        GimuMenjo,            // change of tax liability, by class
        KazeiUriageWariaiHendo,
        KazeiGyomuyoTenyo,
        KyojuyoChintai,
        KaniUriage,           // simplified-taxation sales of business kind `kind` (0 = ZERO)
        KaniHenkan,           // simplified-taxation returns of business kind `kind` (0 = ZERO)
        MenzeiKikanKazeiUriage,
    };
    enum Method : uint8_t {
        None,
        Tsumiage,
        Warimodoshi,
        InvoiceGensoku,   // _INVOICEIGAI_TSUMIAGE_GENSOKU
        InvoiceKanben,    // _INVOICEIGAI_TSUMIAGE_KANBEN
        Invoice80,        // _INVOICEIGAI_WARIMODOSHI80
        Invoice50,        // _INVOICEIGAI_WARIMODOSHI50
    };
    enum Part : uint8_t { Zeinuki = 0, Zeigaku = 1, Zeikomi = 2 };
    enum Class : uint8_t { Kazei = 0, Hikazei = 1, Kyotuu = 2 };

    struct Slot {
        Family family;
        Method method;
        Part part;      // for families with one figure: Zeinuki (or Zeigaku for YunyuShiire)
        Class cls;      // Shiire, TokuteiShiire, YunyuShiire, GimuMenjo
        bool henkan;    // Shiire, TokuteiShiire, YunyuShiire, YunyuTiho: the returns
        uint8_t kind;   // KaniUriage, KaniHenkan: business kind 1 to 6, 0 for ZERO
    };

    // What a form element is.
    enum FormKind : uint8_t {
        GeneralSales,       // forms 0-4
        GeneralPurchases,   // forms 5-9
        GeneralBadDebts,    // forms 10-14
        Adjustments,        // forms 15-19
        MenzeiKikanGeneral, // form 20 (D02300)
        KaniSales,          // forms 21-25
        KaniReturns,        // forms 26-30
        KaniBadDebts,       // forms 31-35
        MenzeiKikanKani,    // form 36 (D02400)
    };

    static constexpr int kMaxSlots = 110;

    // Kind of form `form` (0 to 36, TagFormTable order) and its rate index
    // (0 to 4 in the order 10 %, reduced 8 %, 8 %, 5 %, 3 %; 0 for D02300
    // and D02400).
    static FormKind KindOf(int form);
    static int RateOf(int form);

    // The slots of form `form`, in file order; returns their number, which is
    // the form's count of names in TagFormTable.
    static int Slots(int form, Slot* out);
};
