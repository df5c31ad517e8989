// The progress bar lumo eq draws on stderr for long inputs, when stderr is a terminal.
#pragma once

#include <cstdint>

namespace lumo::cli {

class ProgressBar {
public:
    // Shown only when not quiet, stderr is a terminal and the input's known length is over 10 s.
    ProgressBar(int64_t totalFrames, int sampleRateHz, bool quiet);
    void Update(int64_t framesDone);
    void Finish();  // ends the bar's line, if one was drawn

private:
    int64_t total_;
    bool enabled_;
    int shown_ = -1;  // percent drawn last
};

}  // namespace lumo::cli
