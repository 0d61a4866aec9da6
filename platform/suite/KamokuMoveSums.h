// The movements behind the account summaries: for the journal entries of one
// condition, the debit and credit amounts and taxes summed per account, per
// department and per month kind, gathered in one pass over the entries.
//
// The individual's refund statement asks for the summaries of every
// department in turn; each request is answered from the one pass. The sums
// are kept (the last condition's only) while the store stays unchanged
// (StoreVersion), so their size is bounded by accounts x departments x
// months, whatever the number of entries.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "suite/RuleTypes.h"
#include "suite/SuiteStore.h"

class KamokuMoveSums {
public:
    // The sums of one account (and department) by summary slot: 1 to 12 the
    // month kinds 1 to 12, 13 the year-end closing (kind 18), 14 the
    // half-year closing (kind 15). `present` has bit n set when at least one
    // entry side fell into slot n, even if its amounts sum to zero.
    struct Slots {
        int64_t kariNuki[KAMOKUSUM_SLOTS] = {};
        int64_t kariZei[KAMOKUSUM_SLOTS] = {};
        int64_t kashiNuki[KAMOKUSUM_SLOTS] = {};
        int64_t kashiZei[KAMOKUSUM_SLOTS] = {};
        uint32_t present = 0;
    };

    // The summary slot of a month kind, or -1 for a kind no slot holds.
    static int SlotOf(long long monthKind);

    // The sums of the entries of dataset `dataNo` that satisfy `where` (an
    // SQL condition on the journal with its values `params`), taken from the
    // kept ones when they answer the same question of the same unchanged
    // store. SUITE_OK, or the store's status.
    static long Get(suite::SuiteStore* store, long long dataNo, const std::string& where,
                    const std::vector<long long>& params, std::shared_ptr<const KamokuMoveSums>* out);
    // Forgets the kept sums.
    static void Forget();
    // How many passes over the journal Get has made so far.
    static long long Passes();

    // Sums gathered alongside another pass over the entries of a condition
    // (the tax summation reads the same entries first): begin with
    // `version`, taken before that pass; add every entry's sides; keep them
    // when the pass has read every entry. Asked for the same condition later,
    // Get answers from them without a pass of its own.
    class Collector {
    public:
        Collector(suite::SuiteStore* store, long long dataNo, const std::string& where,
                  const std::vector<long long>& params);
        void Add(long long monthKind, const StSWKTSIDE& kari, const StSWKTSIDE& kashi);
        void Keep();

    private:
        bool versioned_ = false;
        suite::StoreVersion version_;
        long long dataNo_;
        std::string where_;
        std::vector<long long> params_;
        std::shared_ptr<KamokuMoveSums> sums_;
    };

    // An account's sums over every department; null when no side of the
    // account was summed.
    const Slots* Of(int32_t account) const;
    // The sums of the account's sides booked on department `dept`; null when
    // there are none.
    const Slots* Of(int32_t account, int32_t dept) const;
    // Whether a sum over every department, or a sum of department `dept`,
    // left the 64-bit range (the store refuses such a sum).
    bool Overflowed() const { return overflowAll_; }
    bool Overflowed(int32_t dept) const { return overflowDepts_.count(dept) != 0; }

private:
    static uint64_t Key(int32_t account, int32_t dept)
    {
        return (static_cast<uint64_t>(static_cast<uint32_t>(account)) << 32) | static_cast<uint32_t>(dept);
    }
    long Gather(suite::SuiteStore* store, const std::string& sql, const std::vector<long long>& params);
    // Adds one side of an entry of summary slot `slot` (side 0 debit, 1 credit).
    void AddSide(int slot, int side, int32_t account, int32_t dept, int64_t amount, int64_t tax);
    // Adds to one record; false when a sum left the range.
    static bool AddTo(Slots& s, int slot, bool credit, int64_t amount, int64_t tax);
    static void Keep(const suite::StoreVersion& version, long long dataNo, const std::string& where,
                     const std::vector<long long>& params, std::shared_ptr<const KamokuMoveSums> sums);

    std::unordered_map<int32_t, Slots> byAccount_;
    std::unordered_map<uint64_t, Slots> byAccountDept_;
    bool overflowAll_ = false;
    std::unordered_set<int32_t> overflowDepts_;
    // Consecutive sides often share their account and department (a month
    // of one account's entries): the records of the last side of each kind
    // are tried first.
    Slots* lastAll_[2] = {nullptr, nullptr};
    Slots* lastDept_[2] = {nullptr, nullptr};
    int32_t lastAccount_[2] = {0, 0};
    int32_t lastDeptCode_[2] = {0, 0};
};
