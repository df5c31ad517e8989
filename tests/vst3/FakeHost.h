// The host's side of the VST3 calls the unit tests make: a byte stream, a component handler that
// records restartComponent, parameter changes, and one instance held through its three
// interfaces as a host holds it.
#pragma once

#include <cstdint>
#include <cstring>
#include <deque>
#include <utility>
#include <vector>

#include "vst3/Factory.h"
#include "vst3/Instance.h"
#include "vst3/Interfaces.h"
#include "vst3/Machines.h"

namespace lumo::vst3::test {

// A stream over bytes that moves at most `step` bytes a call and can be made to fail.
struct Stream {
    struct Table {
        v3_funknown unknown;
        v3_bstream stream;
    };
    const Table* table;
    std::vector<uint8_t> bytes;
    size_t position = 0;
    int32_t step = 1 << 20;
    bool fail = false;

    Stream();
    explicit Stream(std::vector<uint8_t> data) : Stream() { bytes = std::move(data); }
    v3_bstream** Get() { return reinterpret_cast<v3_bstream**>(this); }
};

// Records every restartComponent flag word.
struct Handler {
    struct Table {
        v3_funknown unknown;
        v3_component_handler handler;
    };
    const Table* table;
    std::vector<int32_t> restarts;
    int references = 0;

    Handler();
    v3_component_handler** Get() { return reinterpret_cast<v3_component_handler**>(this); }
};

// One block's parameter changes: a queue per parameter, its points in the order added.
class Changes {
public:
    Changes();
    Changes(const Changes&) = delete;
    Changes& operator=(const Changes&) = delete;
    void Add(v3_param_id id, int32_t offset, double value);
    v3_param_changes** Get() { return reinterpret_cast<v3_param_changes**>(&face_); }

private:
    struct Queue {
        const v3_param_value_queue_cpp* table;
        v3_param_id id;
        std::vector<std::pair<int32_t, double>> points;
    };
    struct Face {
        const v3_param_changes_cpp* table;
        Changes* owner;
    };
    static int32_t V3_API Count(void* self);
    static v3_param_value_queue** V3_API Data(void* self, int32_t index);
    static v3_param_value_queue** V3_API AddData(void*, v3_param_id*, int32_t*) { return nullptr; }
    static v3_param_id V3_API Id(void* self) { return static_cast<Queue*>(self)->id; }
    static int32_t V3_API PointCount(void* self);
    static v3_result V3_API Point(void* self, int32_t index, int32_t* offset, double* value);
    static v3_result V3_API AddPoint(void*, int32_t, double, int32_t*) { return V3_FALSE; }
    static const v3_param_changes_cpp kTable;
    static const v3_param_value_queue_cpp kQueueTable;

    Face face_;
    std::deque<Queue> queues_;  // stable addresses: the plug-in holds them during process()
};

// One instance of machine `kind` from the module's factory, through its interfaces.
class Plugin {
public:
    explicit Plugin(int kind);
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    v3_component& Component() { return *v3_cpp_obj(component_); }
    v3_audio_processor& Processor() { return *v3_cpp_obj(processor_); }
    v3_edit_controller& Controller() { return *v3_cpp_obj(controller_); }
    v3_component** C() { return component_; }
    v3_audio_processor** P() { return processor_; }
    v3_edit_controller** E() { return controller_; }

    // setupProcessing (32-bit, realtime) and setActive(true); the results.
    v3_result Setup(double rate, int32_t maxBlock = 8192);
    v3_result Activate() { return Component().set_active(component_, 1); }

    // One stereo block: out may be in (in place); changes may be null. Returns process()'s result
    // and leaves the output's silence flags in *outFlags when given.
    v3_result Process(float* const* in, float* const* out, int32_t frames, v3_param_changes** changes,
                      uint64_t inFlags = 0, uint64_t* outFlags = nullptr);

    double Get(v3_param_id id) { return Controller().get_parameter_normalised(controller_, id); }
    v3_result Set(v3_param_id id, double value) { return Controller().set_parameter_normalised(controller_, id, value); }
    std::vector<uint8_t> Save();
    v3_result Load(std::vector<uint8_t> chunk);
    // The object behind the interfaces, for what no interface shows.
    Instance& Inside() { return *static_cast<Face*>(static_cast<void*>(component_))->owner; }

private:
    v3_component** component_ = nullptr;
    v3_audio_processor** processor_ = nullptr;
    v3_edit_controller** controller_ = nullptr;
};

}  // namespace lumo::vst3::test
