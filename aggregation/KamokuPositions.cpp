#include "aggregation/KamokuPositions.h"

void KamokuPositions::Build(const std::list<StKAMOKUINFO>& list, int (*classify)(DWORD), int none)
{
    byCode_.clear();
    size_t position = 0;
    for (const StKAMOKUINFO& kamoku : list) {
        const int cls = classify(kamoku.ulZokusei);
        if (cls != none) {
            byCode_[kamoku.lKamokuCode].push_back(Record{position, cls});
        }
        ++position;
    }
}
