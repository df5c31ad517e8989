// A machine's parameter values as a face holds them, and the one place where new values become
// the engine's parameter call. Every face (the Buzz machine, LV2, VST3, CLAP) feeds the values
// its host brings through Set and hands them on with ApplyTo.
//
// Threads: a face's audio thread (the Buzz machine's parameter call runs where the host calls
// it); one thread at a time.
#pragma once

#include "engine/Equaliser.h"
#include "product/Parameters.h"

namespace lumo::product {

class ParameterValues {
public:
    // Every parameter at its default; nothing pending.
    explicit ParameterValues(const Deliverable& deliverable);

    int Count() const { return count_; }
    const Parameter& ParameterAt(int index) const { return parameters_[index]; }
    int Raw(int index) const { return raw_[index]; }

    // A new raw value from the host, clamped to the parameter's range. It goes into the next
    // engine call even when it equals the last one: a band set again is redesigned again, and
    // its ring-out re-armed.
    void Set(int index, int raw);
    // Every parameter goes into the next engine call (the first after the engine was
    // initialised must carry them all).
    void SetAllPending();
    bool HasPending() const { return anyPending_; }

    // The engine's one parameter call with the pending values (a band's slider redesigns that
    // band, Range or Bandwidth every band); nothing is pending afterwards.
    engine::ParameterOutcome ApplyTo(engine::Equaliser& engine, int sampleRateHz);

private:
    int count_;
    int raw_[kMaxParameters];
    bool pending_[kMaxParameters];
    bool anyPending_ = false;
    Parameter parameters_[kMaxParameters];
};

}  // namespace lumo::product
