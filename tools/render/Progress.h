// A progress bar on stderr, drawn only when stderr is a terminal.
#pragma once

#include <chrono>
#include <cstdint>

namespace render {

class Progress {
  public:
    Progress(int64_t totalFrames, double sampleRate, bool wanted);
    void update(int64_t framesDone);
    void finish(); // clears the bar so the summary line starts clean

  private:
    int64_t total_;
    double sampleRate_;
    bool enabled_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point lastDraw_;
};

} // namespace render
