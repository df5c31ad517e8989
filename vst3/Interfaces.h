// The VST3 interfaces as Debian's dpf-source declares them in C ("travesty", ISC licence), with
// the few C++ pieces this face adds: the tables of the host's objects it calls (component
// handler, stream, parameter changes) and the result codes under their VST3 names.
#pragma once

#include <cstdint>

#include "travesty/audio_processor.h"
#include "travesty/base.h"
#include "travesty/bstream.h"
#include "travesty/component.h"
#include "travesty/edit_controller.h"
#include "travesty/factory.h"

namespace lumo::vst3 {

constexpr v3_result kResultOk = V3_OK;
constexpr v3_result kResultFalse = V3_FALSE;
constexpr v3_result kInvalidArgument = V3_INVALID_ARG;
constexpr v3_result kNotImplemented = V3_NOT_IMPLEMENTED;
constexpr v3_result kNoInterface = V3_NO_INTERFACE;
constexpr v3_result kOutOfMemory = V3_NOMEM;

constexpr v3_speaker_arrangement kStereo = V3_SPEAKER_L | V3_SPEAKER_R;

// Objects of the host are pointers to a pointer to their table: the three FUnknown operations,
// then the interface's own (travesty's C++ structs leave FUnknown out; v3_cpp_obj skips it).
template <class Interface>
Interface& TableOf(Interface** object) {
    return *v3_cpp_obj(object);
}

}  // namespace lumo::vst3
