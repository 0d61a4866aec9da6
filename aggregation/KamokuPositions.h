// The account list's records by account code, for the journal passes.
//
// A journal side counts once for every record of the account list that has
// its account code and an attribute code of the pass's groups, and the
// records are taken in list order, the debit side before the credit side at
// each record. Comparing every entry with the whole list costs entries x
// accounts; this index hands out the same records in the same order, looked
// up by the sides' codes. The list is not changed; the index is built again
// whenever the list is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>
#include <vector>

#include "win32/Windows.h"
#include "suite/RuleTypes.h"

class KamokuPositions {
public:
    // Indexes `list`: each record gets the class `classify` gives its
    // attribute code; records of class `none` count nowhere and are left out.
    void Build(const std::list<StKAMOKUINFO>& list, int (*classify)(DWORD), int none);

    // Calls visit(position, class, credit) for every indexed record whose
    // code is `kari` (credit false) or `kashi` (credit true), in list order;
    // at a record with both codes, the debit first. Position 0 is the list's
    // first record.
    template <class Visit>
    void ForSides(int32_t kari, int32_t kashi, Visit&& visit) const
    {
        const std::vector<Record>* a = Find(kari);
        const std::vector<Record>* b = Find(kashi);
        size_t i = 0, j = 0;
        const size_t na = a ? a->size() : 0, nb = b ? b->size() : 0;
        while (i < na || j < nb) {
            // At equal positions (the same record: kari == kashi) the debit goes first.
            if (j >= nb || (i < na && (*a)[i].position <= (*b)[j].position)) {
                visit((*a)[i].position, (*a)[i].cls, false);
                ++i;
            } else {
                visit((*b)[j].position, (*b)[j].cls, true);
                ++j;
            }
        }
    }

private:
    struct Record {
        size_t position;
        int cls;
    };
    const std::vector<Record>* Find(int32_t code) const
    {
        auto it = byCode_.find(code);
        return it == byCode_.end() ? nullptr : &it->second;
    }

    std::unordered_map<int32_t, std::vector<Record>> byCode_;
};
