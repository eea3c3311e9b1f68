// The output file's format: the container from the output's name (or --format), the samples from the
// input where the container can hold them (or as --bits/--float ask), and the lossy codecs' quality.
#pragma once

#include <optional>
#include <string>

namespace render {

// The sample choices of the command line.
struct SampleRequest {
    int bits = 0; // 16, 24 or 32-bit PCM; 0: not asked
    bool floatSamples = false;
    std::optional<double> quality; // kMinQuality to kMaxQuality, lossy codecs only
};

struct OutputFormat {
    int format = 0;                         // libsndfile SF_FORMAT_* (major | subtype)
    std::optional<double> compressionLevel; // lossy codecs: libsndfile's 0 (largest) to 1 (smallest)
    std::string note;                       // why the input's samples could not be kept, else empty
};

constexpr double kMinQuality = 0.0;
constexpr double kMaxQuality = 10.0;
constexpr double kDefaultQuality = 8.0;

// The PCM subtype of a --bits value (16, 24 or 32); 0 for any other.
int pcmSubtypeOfBits(int bits);
// The container an extension or --format value names ("flac", "mp3"): its major format, with the codec
// for the lossy ones. Throws RenderError listing the known names.
int containerNamed(const std::string& name);
// `container` if non-zero (--format), else the one OUTPUT's extension names.
int containerFor(const std::string& path, int container);
// Whether OUTPUT's extension names a container other than `container`.
bool extensionDisagrees(const std::string& path, int container);
// `inputFormat` is the input file's SF_FORMAT_* (the demo passes float WAV, what it synthesises).
OutputFormat chooseOutputFormat(int container, int inputFormat, const SampleRequest& request);

std::string describeFormat(int format);

} // namespace render
