// Sample-rate conversion of the plug-in's output into a rate the output file can hold (libsoxr).
#pragma once

#include <cstdint>
#include <vector>

typedef struct soxr* soxr_t;

namespace render {

class Resampler {
  public:
    Resampler(int fromRate, int toRate, int channels); // throws RenderError
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Interleaved frames in; the converted frames ready so far out, valid until the next call.
    const std::vector<float>& process(const float* interleaved, int64_t frames);
    // Once the input has ended: the rest, the filter's delay included.
    const std::vector<float>& finish();

  private:
    // One soxr_process call after another until the input is taken and no more output waits; a null
    // `interleaved` drains the filter.
    const std::vector<float>& run(const float* interleaved, int64_t frames);

    soxr_t converter = nullptr;
    int channels;
    double ratio;
    std::vector<float> converted;
};

} // namespace render
