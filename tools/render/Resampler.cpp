#include "Resampler.h"

#include "RenderError.h"

#include <cmath>
#include <soxr.h>
#include <string>

namespace render {

namespace {

// Frames of room beyond the converted input's length, for what the filter releases at once.
constexpr size_t kSpareFrames = 1024;

} // namespace

Resampler::Resampler(int fromRate, int toRate, int channelCount)
    : channels(channelCount), ratio(static_cast<double>(toRate) / fromRate) {
    // Very high quality: the output may be 24-bit PCM, which the default's 20 bits would not fill. One
    // thread, so that equal input gives equal output.
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    converter =
        soxr_create(fromRate, toRate, static_cast<unsigned>(channels), &error, &io, &quality, &runtime);
    if (converter == nullptr || error != nullptr) {
        soxr_delete(converter);
        throw RenderError("cannot resample from " + std::to_string(fromRate) + " Hz to " +
                          std::to_string(toRate) + " Hz: " + (error != nullptr ? error : "no converter"));
    }
}

Resampler::~Resampler() {
    soxr_delete(converter);
}

const std::vector<float>& Resampler::process(const float* interleaved, int64_t frames) {
    return run(interleaved, frames);
}

const std::vector<float>& Resampler::finish() {
    return run(nullptr, 0);
}

const std::vector<float>& Resampler::run(const float* interleaved, int64_t frames) {
    const size_t width = static_cast<size_t>(channels);
    const size_t room = static_cast<size_t>(std::ceil(static_cast<double>(frames) * ratio)) + kSpareFrames;
    converted.clear();
    size_t taken = 0;
    size_t made = 0;
    while (true) {
        converted.resize((made + room) * width);
        size_t took = 0;
        size_t gave = 0;
        const float* in = interleaved == nullptr ? nullptr : interleaved + taken * width;
        const soxr_error_t error = soxr_process(converter, in, static_cast<size_t>(frames) - taken, &took,
                                                converted.data() + made * width, room, &gave);
        if (error != nullptr) {
            throw RenderError(std::string("resampling failed: ") + error);
        }
        taken += took;
        made += gave;
        // A full buffer may hide more output; an input not yet taken needs another call.
        if (gave < room && taken == static_cast<size_t>(frames)) {
            break;
        }
    }
    converted.resize(made * width);
    return converted;
}

} // namespace render
