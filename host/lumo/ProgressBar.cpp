#include "ProgressBar.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace lumo::cli {
namespace {

// Seconds of audio beyond which a terminal gets a progress bar.
constexpr double kProgressAfterSeconds = 10.0;

constexpr int kWidth = 40;  // characters between the brackets

}  // namespace

ProgressBar::ProgressBar(int64_t totalFrames, int sampleRateHz, bool quiet)
    : total_(totalFrames),
      enabled_(!quiet && isatty(fileno(stderr)) != 0 && totalFrames != SF_COUNT_MAX &&
               totalFrames > kProgressAfterSeconds * sampleRateHz) {}

void ProgressBar::Update(int64_t framesDone) {
    if (!enabled_ || total_ <= 0) return;
    const int percent = static_cast<int>(std::min<int64_t>(100, framesDone * 100 / total_));
    if (percent == shown_) return;
    shown_ = percent;
    const int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, ' ').c_str(), percent);
    std::fflush(stderr);
}

void ProgressBar::Finish() {
    if (enabled_ && shown_ >= 0) std::fprintf(stderr, "\n");
}

}  // namespace lumo::cli
