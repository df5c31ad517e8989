#include "vst3/Settings.h"

namespace lumo::vst3 {

Settings::Settings(const product::Deliverable& deliverable) : count_(product::ParameterCount(deliverable)) {
    for (int index = 0; index < product::kMaxParameters; ++index) {
        if (index < count_) parameters_[index] = product::ParameterAt(deliverable, index);
        raw_[index].store(index < count_ ? parameters_[index].defaultValue : 0, std::memory_order_relaxed);
    }
}

void Settings::Load(const int* raw) {
    for (int index = 0; index < count_; ++index) Store(index, raw[index]);
    loaded_.store(true, std::memory_order_release);
}

void Settings::CopyTo(int* raw) const {
    for (int index = 0; index < count_; ++index) raw[index] = Raw(index);
}

}  // namespace lumo::vst3
