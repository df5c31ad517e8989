// The state extension: the parameter values the plug-in has (those set before any audio
// included) in the product's versioned chunk (product/StateChunk.h).
#include <cstring>

#include "clap/Extensions.h"
#include "clap/Plugin.h"
#include "product/StateChunk.h"

namespace lumo::clap {

bool Plugin::Save(const clap_ostream_t* stream) const {
    if (stream == nullptr || stream->write == nullptr) return false;
    int raw[product::kMaxParameters];
    for (int i = 0; i < count_; ++i) raw[i] = RawValue(i);
    std::uint8_t chunk[product::kMaxStateChunkBytes];
    const std::size_t bytes = product::WriteStateChunk(deliverable_, raw, chunk);
    // A stream may take fewer bytes than offered.
    for (std::size_t written = 0; written < bytes;) {
        const int64_t n = stream->write(stream, chunk + written, bytes - written);
        if (n <= 0 || static_cast<uint64_t>(n) > bytes - written) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads to the stream's end; a chunk the product does not take as this machine's (short, long,
// damaged, foreign, newer) is refused with nothing changed.
bool Plugin::Load(const clap_istream_t* stream) {
    if (stream == nullptr || stream->read == nullptr) return false;
    std::uint8_t chunk[product::kMaxStateChunkBytes + 1];
    std::size_t bytes = 0;
    for (;;) {
        const int64_t n = stream->read(stream, chunk + bytes, sizeof chunk - bytes);
        if (n == 0) break;
        if (n < 0 || static_cast<uint64_t>(n) > sizeof chunk - bytes) return false;
        bytes += static_cast<std::size_t>(n);
        if (bytes == sizeof chunk) return false;  // longer than any chunk
    }
    int raw[product::kMaxParameters];
    if (!product::ReadStateChunk(deliverable_, chunk, bytes, raw)) return false;

    bool changed = false;
    const bool rangeChanged = raw[product::kRangeParameter] != RawValue(product::kRangeParameter);
    for (int i = 0; i < count_; ++i) {
        changed = changed || raw[i] != RawValue(i);
        value_[i].store(raw[i], std::memory_order_relaxed);
    }
    sharedChanged_.store(true, std::memory_order_release);
    const clap_param_rescan_flags rescan = CLAP_PARAM_RESCAN_VALUES | (rangeChanged ? CLAP_PARAM_RESCAN_TEXT : 0);
    if (changed && hostParams_ != nullptr && hostParams_->rescan != nullptr) hostParams_->rescan(host_, rescan);
    return true;
}

const clap_plugin_state_t kState = {
    // The host, on the main thread: the settings for its session or preset.
    [](const clap_plugin_t* p, const clap_ostream_t* stream) { return Plugin::Of(p)->Save(stream); },
    // The host, on the main thread: settings from its session or preset.
    [](const clap_plugin_t* p, const clap_istream_t* stream) { return Plugin::Of(p)->Load(stream); },
};

}  // namespace lumo::clap
