#include "FakeHost.h"

#include <algorithm>

namespace lumo::vst3::test {
namespace {

v3_result V3_API NoInterface(void*, const v3_tuid, void** object) {
    *object = nullptr;
    return V3_NO_INTERFACE;
}
uint32_t V3_API One(void*) { return 1; }

Stream& StreamOf(void* self) { return *static_cast<Stream*>(self); }

v3_result V3_API Read(void* self, void* buffer, int32_t bytes, int32_t* read) {
    Stream& s = StreamOf(self);
    if (s.fail) return V3_FALSE;
    const size_t n = std::min({static_cast<size_t>(bytes), static_cast<size_t>(s.step), s.bytes.size() - s.position});
    if (n > 0) std::memcpy(buffer, s.bytes.data() + s.position, n);
    s.position += n;
    if (read != nullptr) *read = static_cast<int32_t>(n);
    return V3_OK;
}
v3_result V3_API Write(void* self, void* buffer, int32_t bytes, int32_t* written) {
    Stream& s = StreamOf(self);
    if (s.fail) return V3_FALSE;
    const size_t n = std::min(static_cast<size_t>(bytes), static_cast<size_t>(s.step));
    const uint8_t* data = static_cast<const uint8_t*>(buffer);
    s.bytes.insert(s.bytes.end(), data, data + n);
    if (written != nullptr) *written = static_cast<int32_t>(n);
    return V3_OK;
}
v3_result V3_API Seek(void*, int64_t, int32_t, int64_t*) { return V3_NOT_IMPLEMENTED; }
v3_result V3_API Tell(void* self, int64_t* position) {
    *position = static_cast<int64_t>(StreamOf(self).position);
    return V3_OK;
}
const Stream::Table kStreamTable = {{NoInterface, One, One}, {Read, Write, Seek, Tell}};

Handler& HandlerOf(void* self) { return *static_cast<Handler*>(self); }
uint32_t V3_API HandlerRef(void* self) { return static_cast<uint32_t>(++HandlerOf(self).references); }
uint32_t V3_API HandlerUnref(void* self) { return static_cast<uint32_t>(--HandlerOf(self).references); }
v3_result V3_API Edit(void*, v3_param_id) { return V3_OK; }
v3_result V3_API Perform(void*, v3_param_id, double) { return V3_OK; }
v3_result V3_API Restart(void* self, int32_t flags) {
    HandlerOf(self).restarts.push_back(flags);
    return V3_OK;
}
const Handler::Table kHandlerTable = {{NoInterface, HandlerRef, HandlerUnref}, {Edit, Perform, Edit, Restart}};

}  // namespace

Stream::Stream() : table(&kStreamTable) {}
Handler::Handler() : table(&kHandlerTable) {}

const v3_param_changes_cpp Changes::kTable = {{NoInterface, One, One}, {Count, Data, AddData}};
const v3_param_value_queue_cpp Changes::kQueueTable = {{NoInterface, One, One}, {Id, PointCount, Point, AddPoint}};

Changes::Changes() : face_{&kTable, this} {}

void Changes::Add(v3_param_id id, int32_t offset, double value) {
    auto queue = std::find_if(queues_.begin(), queues_.end(), [id](const Queue& q) { return q.id == id; });
    if (queue == queues_.end()) queue = queues_.insert(queues_.end(), Queue{&kQueueTable, id, {}});
    queue->points.emplace_back(offset, value);
}

int32_t V3_API Changes::Count(void* self) { return static_cast<int32_t>(static_cast<Face*>(self)->owner->queues_.size()); }
v3_param_value_queue** V3_API Changes::Data(void* self, int32_t index) {
    std::deque<Queue>& queues = static_cast<Face*>(self)->owner->queues_;
    if (index < 0 || index >= static_cast<int32_t>(queues.size())) return nullptr;
    return reinterpret_cast<v3_param_value_queue**>(&queues[static_cast<size_t>(index)]);
}
int32_t V3_API Changes::PointCount(void* self) { return static_cast<int32_t>(static_cast<Queue*>(self)->points.size()); }
v3_result V3_API Changes::Point(void* self, int32_t index, int32_t* offset, double* value) {
    const Queue& q = *static_cast<Queue*>(self);
    if (index < 0 || index >= static_cast<int32_t>(q.points.size())) return V3_FALSE;
    *offset = q.points[static_cast<size_t>(index)].first;
    *value = q.points[static_cast<size_t>(index)].second;
    return V3_OK;
}

Plugin::Plugin(int kind) {
    v3_plugin_factory** factory = Factory();
    v3_cpp_obj(factory)->create_instance(factory, kMachines[kind].classId, v3_component_iid,
                                         reinterpret_cast<void**>(&component_));
    v3_cpp_obj_query_interface(component_, v3_audio_processor_iid, &processor_);
    v3_cpp_obj_query_interface(component_, v3_edit_controller_iid, &controller_);
    v3_cpp_obj_initialize(component_, nullptr);
}

Plugin::~Plugin() {
    v3_cpp_obj_terminate(component_);
    v3_cpp_obj_unref(controller_);
    v3_cpp_obj_unref(processor_);
    v3_cpp_obj_unref(component_);
}

v3_result Plugin::Setup(double rate, int32_t maxBlock) {
    v3_process_setup setup{V3_REALTIME, V3_SAMPLE_32, maxBlock, rate};
    const v3_result result = Processor().setup_processing(processor_, &setup);
    return result != V3_OK ? result : Activate();
}

v3_result Plugin::Process(float* const* in, float* const* out, int32_t frames, v3_param_changes** changes,
                          uint64_t inFlags, uint64_t* outFlags) {
    v3_audio_bus_buffers inputs{};
    inputs.num_channels = 2;
    inputs.channel_silence_bitset = inFlags;
    inputs.channel_buffers_32 = const_cast<float**>(in);
    v3_audio_bus_buffers outputs{};
    outputs.num_channels = 2;
    outputs.channel_buffers_32 = const_cast<float**>(out);
    v3_process_data data{};
    data.symbolic_sample_size = V3_SAMPLE_32;
    data.nframes = frames;
    data.num_input_buses = 1;
    data.num_output_buses = 1;
    data.inputs = &inputs;
    data.outputs = &outputs;
    data.input_params = changes;
    const v3_result result = Processor().process(processor_, &data);
    if (outFlags != nullptr) *outFlags = outputs.channel_silence_bitset;
    return result;
}

std::vector<uint8_t> Plugin::Save() {
    Stream stream;
    return Component().get_state(component_, stream.Get()) == V3_OK ? stream.bytes : std::vector<uint8_t>{};
}

v3_result Plugin::Load(std::vector<uint8_t> chunk) {
    Stream stream(std::move(chunk));
    return Component().set_state(component_, stream.Get());
}

}  // namespace lumo::vst3::test
