// The host's parameter changes for one block (IParameterChanges), taken in the order of their
// sample offsets across all parameters without allocating: a cursor per queue. A queue of an
// unknown parameter is skipped; a host gives one queue per parameter, and queues past
// kMaxQueues (duplicates) are ignored.
#pragma once

#include "product/Parameters.h"
#include "vst3/Interfaces.h"

namespace lumo::vst3 {

class HostChanges {
public:
    static constexpr int kMaxQueues = 2 * product::kMaxParameters;
    static constexpr int32_t kNone = INT32_MAX;

    // changes may be null (no changes); parameterCount: IDs 0..parameterCount - 1 are known.
    HostChanges(v3_param_changes** changes, int parameterCount);

    // Hands every point at or before `offset` to take(parameterIndex, normalisedValue), each
    // queue's in its order; returns the offset of the next point after, or kNone.
    template <class Take>
    int32_t TakeUpTo(int32_t offset, Take take);

private:
    struct Cursor {
        v3_param_value_queue** queue;
        int index;       // the parameter
        int32_t points;  // in the queue
        int32_t next;    // the next point to take
        int32_t nextOffset;
        double nextValue;
    };
    // Reads point `next` of the cursor's queue into it (kNone once past the end or on an error).
    static void Load(Cursor& cursor);

    Cursor cursors_[kMaxQueues];
    int count_ = 0;
};

template <class Take>
int32_t HostChanges::TakeUpTo(int32_t offset, Take take) {
    int32_t following = kNone;
    for (int i = 0; i < count_; ++i) {
        Cursor& cursor = cursors_[i];
        while (cursor.nextOffset <= offset) {
            take(cursor.index, cursor.nextValue);
            ++cursor.next;
            Load(cursor);
        }
        if (cursor.nextOffset < following) following = cursor.nextOffset;
    }
    return following;
}

}  // namespace lumo::vst3
