#include "OutputRate.h"

#include "AudioFile.h"
#include "OutputFormat.h"
#include "RenderError.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <sndfile.h>
#include <string>
#include <vector>

namespace render {

namespace {

// The candidates when the input's rate cannot be kept, in ascending order.
constexpr int kCommonRates[] = {8000,  11025, 12000, 16000,  22050,  24000,  32000, 44100,
                                48000, 88200, 96000, 176400, 192000, 352800, 384000};
// Rates that are multiples of this belong to the 44.1 kHz family.
constexpr int kCdFamilyBase = 11025;
// The codecs whose standards allow a few rates only. libsndfile is not asked about them: its MP3
// encoder leaks its state each time it refuses a rate.
constexpr int kOpusRates[] = {8000, 12000, 16000, 24000, 48000};
constexpr int kMpegRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

std::vector<int> fixedRates(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_OPUS:
        return {std::begin(kOpusRates), std::end(kOpusRates)};
    case SF_FORMAT_MPEG_LAYER_III:
        return {std::begin(kMpegRates), std::end(kMpegRates)};
    default:
        return {};
    }
}

// A file libsndfile writes into nothing: only the encoders' checks of the rate matter.
struct NullFile {
    sf_count_t position = 0;
    sf_count_t length = 0;
};

SF_VIRTUAL_IO nullFileCalls() {
    SF_VIRTUAL_IO calls{};
    calls.get_filelen = [](void* file) { return static_cast<NullFile*>(file)->length; };
    calls.seek = [](sf_count_t offset, int whence, void* file) {
        NullFile& null = *static_cast<NullFile*>(file);
        const sf_count_t base = whence == SEEK_CUR ? null.position : (whence == SEEK_END ? null.length : 0);
        null.position = base + offset;
        return null.position;
    };
    calls.read = [](void*, sf_count_t, void*) -> sf_count_t { return 0; };
    calls.write = [](const void*, sf_count_t count, void* file) {
        NullFile& null = *static_cast<NullFile*>(file);
        null.position += count;
        null.length = null.position > null.length ? null.position : null.length;
        return count;
    };
    calls.tell = [](void* file) { return static_cast<NullFile*>(file)->position; };
    return calls;
}

// Whether `format` can be written at `rate`; if not, why in `reason`. Beside Opus and MP3, libsndfile
// refuses FLAC above 655350 Hz.
bool formatTakesRate(int format, int rate, std::string* reason = nullptr) {
    const std::vector<int> fixed = fixedRates(format);
    if (!fixed.empty()) {
        if (std::find(fixed.begin(), fixed.end(), rate) != fixed.end()) {
            return true;
        }
        if (reason != nullptr) {
            *reason = "it takes";
            for (size_t i = 0; i < fixed.size(); ++i) {
                *reason +=
                    (i == 0 ? " " : (i + 1 == fixed.size() ? " or " : ", ")) + std::to_string(fixed[i]);
            }
            *reason += " Hz only";
        }
        return false;
    }
    SF_VIRTUAL_IO calls = nullFileCalls();
    NullFile null;
    SF_INFO info{};
    info.format = format;
    info.channels = 2;
    info.samplerate = rate;
    SNDFILE* file = sf_open_virtual(&calls, SFM_WRITE, &info, &null);
    if (file == nullptr) {
        if (reason != nullptr) {
            *reason = libraryMessage(sf_strerror(nullptr));
        }
        return false;
    }
    sf_close(file);
    return true;
}

bool cdFamily(int rate) {
    return rate % kCdFamilyBase == 0;
}

int nearestTakenRate(int format, int inputRate) {
    int highest = 0;
    int highestOfFamily = 0;
    for (const int rate : kCommonRates) {
        if (!formatTakesRate(format, rate)) {
            continue;
        }
        if (rate > inputRate) {
            return rate;
        }
        highest = rate;
        highestOfFamily = cdFamily(rate) == cdFamily(inputRate) ? rate : highestOfFamily;
    }
    return highestOfFamily != 0 ? highestOfFamily : highest;
}

} // namespace

OutputRate chooseOutputRate(int format, int inputRate, int requested) {
    OutputRate output;
    if (requested != 0) {
        std::string reason;
        if (!formatTakesRate(format, requested, &reason)) {
            throw RenderError("--rate " + std::to_string(requested) + " is not possible for " +
                              describeFormat(format) + ": " + reason);
        }
        output.rate = requested;
        return output;
    }
    std::string reason;
    if (formatTakesRate(format, inputRate, &reason)) {
        output.rate = inputRate;
        return output;
    }
    output.rate = nearestTakenRate(format, inputRate);
    if (output.rate == 0) {
        // Not the rate then: this libsndfile cannot write the format at all.
        throw RenderError("cannot write " + describeFormat(format) + ": " + reason);
    }
    output.note = describeFormat(format) + " cannot be written at " + std::to_string(inputRate) +
                  " Hz; resampling the plug-in's output to " + std::to_string(output.rate) + " Hz";
    return output;
}

} // namespace render
