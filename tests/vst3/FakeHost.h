// The host's side of the VST3 calls the unit tests make: a byte stream, a component handler that
// records restartComponent, one block's parameter changes, and one instance held through its
// interfaces as a host holds it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <utility>
#include <vector>

#include "vst3/Factory.h"
#include "vst3/Instance.h"
#include "vst3/Machines.h"

namespace lumo::vst3::test {

inline v3_result V3_API NoInterface(void*, const v3_tuid, void** object) {
    *object = nullptr;
    return V3_NO_INTERFACE;
}
inline uint32_t V3_API One(void*) { return 1; }

// A stream over bytes that moves at most `step` bytes a call, or fails.
struct Stream {
    struct Table {
        v3_funknown unknown;
        v3_bstream stream;
    };
    static v3_result V3_API Read(void* self, void* buffer, int32_t bytes, int32_t* read) {
        Stream& s = *static_cast<Stream*>(self);
        const size_t n = std::min({size_t(bytes), size_t(s.step), s.bytes.size() - s.position});
        if (n > 0) std::memcpy(buffer, s.bytes.data() + s.position, n);
        s.position += n;
        *read = int32_t(n);
        return s.fail ? V3_FALSE : V3_OK;
    }
    static v3_result V3_API Write(void* self, void* buffer, int32_t bytes, int32_t* written) {
        Stream& s = *static_cast<Stream*>(self);
        const size_t n = std::min(size_t(bytes), size_t(s.step));
        s.bytes.insert(s.bytes.end(), static_cast<uint8_t*>(buffer), static_cast<uint8_t*>(buffer) + n);
        *written = int32_t(n);
        return s.fail ? V3_FALSE : V3_OK;
    }
    static v3_result V3_API Seek(void*, int64_t, int32_t, int64_t*) { return V3_NOT_IMPLEMENTED; }
    static v3_result V3_API Tell(void*, int64_t*) { return V3_NOT_IMPLEMENTED; }
    inline static const Table kTable = {{NoInterface, One, One}, {Read, Write, Seek, Tell}};

    const Table* table = &kTable;
    std::vector<uint8_t> bytes;
    size_t position = 0;
    int32_t step = 1 << 20;
    bool fail = false;
    v3_bstream** Get() { return reinterpret_cast<v3_bstream**>(this); }
};

// Records every restartComponent flag word and counts its references.
struct Handler {
    struct Table {
        v3_funknown unknown;
        v3_component_handler handler;
    };
    static uint32_t V3_API Ref(void* self) { return uint32_t(++static_cast<Handler*>(self)->references); }
    static uint32_t V3_API Unref(void* self) { return uint32_t(--static_cast<Handler*>(self)->references); }
    static v3_result V3_API Edit(void*, v3_param_id) { return V3_OK; }
    static v3_result V3_API Perform(void*, v3_param_id, double) { return V3_OK; }
    static v3_result V3_API Restart(void* self, int32_t flags) {
        static_cast<Handler*>(self)->restarts.push_back(flags);
        return V3_OK;
    }
    inline static const Table kTable = {{NoInterface, Ref, Unref}, {Edit, Perform, Edit, Restart}};

    const Table* table = &kTable;
    std::vector<int32_t> restarts;
    int references = 0;
    v3_component_handler** Get() { return reinterpret_cast<v3_component_handler**>(this); }
};

// One block's parameter changes: a queue per parameter, its points in the order added.
struct Changes {
    struct Queue {
        const v3_param_value_queue_cpp* table;
        v3_param_id id;
        std::vector<std::pair<int32_t, double>> points;
    };
    static int32_t V3_API Count(void* self) { return int32_t(static_cast<Changes*>(self)->queues.size()); }
    static v3_param_value_queue** V3_API Data(void* self, int32_t index) {
        return reinterpret_cast<v3_param_value_queue**>(&static_cast<Changes*>(self)->queues.at(size_t(index)));
    }
    static v3_param_value_queue** V3_API AddData(void*, v3_param_id*, int32_t*) { return nullptr; }
    static v3_param_id V3_API Id(void* self) { return static_cast<Queue*>(self)->id; }
    static int32_t V3_API Points(void* self) { return int32_t(static_cast<Queue*>(self)->points.size()); }
    static v3_result V3_API Point(void* self, int32_t index, int32_t* offset, double* value) {
        const auto& point = static_cast<Queue*>(self)->points.at(size_t(index));
        *offset = point.first;
        *value = point.second;
        return V3_OK;
    }
    static v3_result V3_API AddPoint(void*, int32_t, double, int32_t*) { return V3_FALSE; }
    inline static const v3_param_changes_cpp kTable = {{NoInterface, One, One}, {Count, Data, AddData}};
    inline static const v3_param_value_queue_cpp kQueueTable = {{NoInterface, One, One}, {Id, Points, Point, AddPoint}};

    const v3_param_changes_cpp* table = &kTable;
    std::deque<Queue> queues;  // stable addresses
    void Add(v3_param_id id, int32_t offset, double value) {
        auto queue = std::find_if(queues.begin(), queues.end(), [id](const Queue& q) { return q.id == id; });
        if (queue == queues.end()) queue = queues.insert(queues.end(), Queue{&kQueueTable, id, {}});
        queue->points.emplace_back(offset, value);
    }
    v3_param_changes** Get() { return reinterpret_cast<v3_param_changes**>(this); }
};

// One initialised instance of machine `kind` from the module's factory (or of class `classId` from
// `factory`, e.g. a loaded module's), through its interfaces.
class Plugin {
public:
    explicit Plugin(int kind) : Plugin(Factory(), kMachines[kind].classId) {}
    Plugin(v3_plugin_factory** factory, const v3_tuid classId) {
        v3_cpp_obj(factory)->create_instance(factory, classId, v3_component_iid,
                                             reinterpret_cast<void**>(&component_));
        v3_cpp_obj_query_interface(component_, v3_audio_processor_iid, &processor_);
        v3_cpp_obj_query_interface(component_, v3_edit_controller_iid, &controller_);
        v3_cpp_obj_initialize(component_, nullptr);
    }
    ~Plugin() {
        v3_cpp_obj_terminate(component_);
        v3_cpp_obj_unref(controller_);
        v3_cpp_obj_unref(processor_);
        v3_cpp_obj_unref(component_);
    }
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    v3_component& Component() { return *v3_cpp_obj(component_); }
    v3_audio_processor& Processor() { return *v3_cpp_obj(processor_); }
    v3_edit_controller& Controller() { return *v3_cpp_obj(controller_); }
    v3_component** C() { return component_; }
    v3_audio_processor** P() { return processor_; }
    v3_edit_controller** E() { return controller_; }
    // The object behind the interfaces, for what no interface shows.
    Instance& Inside() { return *static_cast<Face*>(static_cast<void*>(component_))->owner; }

    // setupProcessing (32-bit) and setActive(true).
    v3_result Setup(double rate, int32_t maxBlockFrames = 8192) {
        v3_process_setup setup{V3_REALTIME, V3_SAMPLE_32, maxBlockFrames, rate};
        const v3_result result = Processor().setup_processing(processor_, &setup);
        return result != V3_OK ? result : Component().set_active(component_, 1);
    }
    // One stereo block (out may be in); its output silence flags into *outFlags when given.
    v3_result Process(float* const* in, float* const* out, int32_t frames, v3_param_changes** changes,
                      uint64_t inFlags = 0, uint64_t* outFlags = nullptr) {
        v3_audio_bus_buffers inputs{2, inFlags, {const_cast<float**>(in)}};
        v3_audio_bus_buffers outputs{2, 0, {const_cast<float**>(out)}};
        v3_process_data data{};
        data.symbolic_sample_size = V3_SAMPLE_32;
        data.nframes = frames;
        data.num_input_buses = data.num_output_buses = 1;
        data.inputs = &inputs;
        data.outputs = &outputs;
        data.input_params = changes;
        const v3_result result = Processor().process(processor_, &data);
        if (outFlags != nullptr) *outFlags = outputs.channel_silence_bitset;
        return result;
    }

    double Get(v3_param_id id) { return Controller().get_parameter_normalised(controller_, id); }
    v3_result Set(v3_param_id id, double v) { return Controller().set_parameter_normalised(controller_, id, v); }
    std::vector<uint8_t> Save() {
        Stream stream;
        return Component().get_state(component_, stream.Get()) == V3_OK ? stream.bytes : std::vector<uint8_t>{};
    }
    v3_result Load(std::vector<uint8_t> chunk) {
        Stream stream;
        stream.bytes = std::move(chunk);
        return Component().set_state(component_, stream.Get());
    }

private:
    v3_component** component_ = nullptr;
    v3_audio_processor** processor_ = nullptr;
    v3_edit_controller** controller_ = nullptr;
};

}  // namespace lumo::vst3::test
