#include "vst3/HostChanges.h"

namespace lumo::vst3 {

HostChanges::HostChanges(v3_param_changes** changes, int parameterCount) {
    if (changes == nullptr) return;
    v3_param_changes& table = TableOf(changes);
    const int32_t queues = table.get_param_count(changes);
    for (int32_t q = 0; q < queues && count_ < kMaxQueues; ++q) {
        v3_param_value_queue** queue = table.get_param_data(changes, q);
        if (queue == nullptr) continue;
        const v3_param_id id = TableOf(queue).get_param_id(queue);
        if (id >= static_cast<v3_param_id>(parameterCount)) continue;
        Cursor& cursor = cursors_[count_++];
        cursor = {queue, static_cast<int>(id), TableOf(queue).get_point_count(queue), 0, kNone, 0.0};
        Load(cursor);
    }
}

void HostChanges::Load(Cursor& cursor) {
    cursor.nextOffset = kNone;
    while (cursor.next < cursor.points) {
        int32_t offset = 0;
        double value = 0.0;
        if (TableOf(cursor.queue).get_point(cursor.queue, cursor.next, &offset, &value) == kResultOk) {
            cursor.nextOffset = offset < 0 ? 0 : offset < kNone ? offset : kNone - 1;
            cursor.nextValue = value;
            return;
        }
        ++cursor.next;  // a point the host cannot give is skipped
    }
}

}  // namespace lumo::vst3
