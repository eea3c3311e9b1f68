#include "Progress.h"

#include <cstdio>
#include <unistd.h>

namespace render {

namespace {
constexpr int kBarWidth = 40;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
} // namespace

Progress::Progress(int64_t totalFrames, double sampleRate, bool wanted)
    : total_(totalFrames), sampleRate_(sampleRate),
      enabled_(wanted && isatty(STDERR_FILENO) && totalFrames > 0) {}

void Progress::update(int64_t framesDone) {
    if (!enabled_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && now - lastDraw_ < kRedrawInterval && framesDone < total_)
        return;
    lastDraw_ = now;
    drawn_ = true;
    const double fraction = framesDone >= total_ ? 1.0 : static_cast<double>(framesDone) / total_;
    const int filled = static_cast<int>(fraction * kBarWidth);
    char bar[kBarWidth + 1];
    for (int i = 0; i < kBarWidth; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[kBarWidth] = '\0';
    std::fprintf(stderr, "\r[%s] %3d%%  %.1f / %.1f s", bar, static_cast<int>(fraction * 100.0),
                 framesDone / sampleRate_, total_ / sampleRate_);
    std::fflush(stderr);
}

void Progress::finish() {
    if (drawn_) {
        std::fprintf(stderr, "\r%*s\r", kBarWidth + 32, "");
        std::fflush(stderr);
        drawn_ = false;
    }
}

} // namespace render
