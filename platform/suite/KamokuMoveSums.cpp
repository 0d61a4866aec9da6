#include "suite/KamokuMoveSums.h"

#include "suite/RuleQuery.h"

namespace {

// The question the kept sums answer, and the sums.
struct Kept {
    suite::StoreVersion version;
    long long dataNo = 0;
    std::string where;
    std::vector<long long> params;
    std::shared_ptr<const KamokuMoveSums> sums;
};

Kept& TheKept()
{
    static Kept kept;
    return kept;
}

} // namespace

int KamokuMoveSums::SlotOf(long long monthKind)
{
    if (monthKind >= 1 && monthKind <= 12)
        return static_cast<int>(monthKind);
    if (monthKind == 18)
        return KAMOKUSUM_SLOT_KESSAN;
    if (monthKind == 15)
        return KAMOKUSUM_SLOT_CHUKAN;
    return -1;
}

long KamokuMoveSums::Get(suite::SuiteStore* store, long long dataNo, const std::string& where,
                         const std::vector<long long>& params, std::shared_ptr<const KamokuMoveSums>* out)
{
    Kept& kept = TheKept();
    suite::StoreVersion now;
    const bool versioned = store->Version(&now);
    if (versioned && kept.sums && kept.version == now && kept.dataNo == dataNo && kept.where == where &&
        kept.params == params) {
        *out = kept.sums;
        return SUITE_OK;
    }
    // The old sums go before the new ones are gathered: never two sets at once.
    kept = Kept();
    auto sums = std::make_shared<KamokuMoveSums>();
    long status = sums->Gather(store,
                               "SELECT month_kind, dr_account, dr_dept, dr_amount, dr_tax,"
                               " cr_account, cr_dept, cr_amount, cr_tax FROM journal WHERE " + where,
                               params);
    if (status != SUITE_OK)
        return status;
    if (versioned) {
        kept.version = now;
        kept.dataNo = dataNo;
        kept.where = where;
        kept.params = params;
        kept.sums = sums;
    }
    *out = std::move(sums);
    return SUITE_OK;
}

void KamokuMoveSums::Forget() { TheKept() = Kept(); }

const KamokuMoveSums::Slots* KamokuMoveSums::Of(int32_t account) const
{
    auto it = byAccount_.find(account);
    return it == byAccount_.end() ? nullptr : &it->second;
}

const KamokuMoveSums::Slots* KamokuMoveSums::Of(int32_t account, int32_t dept) const
{
    auto it = byAccountDept_.find(Key(account, dept));
    return it == byAccountDept_.end() ? nullptr : &it->second;
}

bool KamokuMoveSums::AddTo(Slots& s, int slot, bool credit, int64_t amount, int64_t tax)
{
    s.present |= 1u << slot;
    int64_t& n = credit ? s.kashiNuki[slot] : s.kariNuki[slot];
    int64_t& z = credit ? s.kashiZei[slot] : s.kariZei[slot];
    const bool okN = !__builtin_add_overflow(n, amount, &n);
    const bool okZ = !__builtin_add_overflow(z, tax, &z);
    return okN && okZ;
}

// Sides whose account is 0 are empty and count nowhere; the month kinds that
// no slot holds cannot be stored (the journal's check allows only those that
// have one).
long KamokuMoveSums::Gather(suite::SuiteStore* store, const std::string& sql, const std::vector<long long>& params)
{
    long status;
    suite::Statement stmt = RuleQuery::Prepare(store, sql, params, &status);
    if (status != SUITE_OK)
        return status;
    // Consecutive sides often share their account and department (a month
    // of one account's entries): the last records found are tried first.
    Slots* lastAll[2] = {nullptr, nullptr};
    Slots* lastDept[2] = {nullptr, nullptr};
    int32_t lastAccount[2] = {0, 0};
    int32_t lastDeptCode[2] = {0, 0};
    while ((status = stmt.Step()) == SUITE_OK) {
        const int slot = SlotOf(stmt.Int(0));
        if (slot < 0)
            continue;
        for (int side = 0; side < 2; ++side) {
            const int col = 1 + 4 * side;
            const int32_t account = static_cast<int32_t>(stmt.Int(col));
            if (account == 0)
                continue;
            const int32_t dept = static_cast<int32_t>(stmt.Int(col + 1));
            const int64_t amount = stmt.Int(col + 2);
            const int64_t tax = stmt.Int(col + 3);
            if (!lastAll[side] || lastAccount[side] != account) {
                lastAll[side] = &byAccount_[account];
                lastDept[side] = nullptr;
                lastAccount[side] = account;
            }
            if (!lastDept[side] || lastDeptCode[side] != dept) {
                lastDept[side] = &byAccountDept_[Key(account, dept)];
                lastDeptCode[side] = dept;
            }
            if (!AddTo(*lastAll[side], slot, side == 1, amount, tax))
                overflowAll_ = true;
            if (!AddTo(*lastDept[side], slot, side == 1, amount, tax))
                overflowDepts_.insert(dept);
        }
    }
    return status == SUITE_EOD ? SUITE_OK : status;
}
