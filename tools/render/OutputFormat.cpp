#include "OutputFormat.h"

#include "RenderError.h"

#include <algorithm>
#include <cctype>
#include <sndfile.h>

namespace render {

namespace {

struct ContainerName {
    const char* name;
    int format;
};

// Every name velmora-render writes, as an extension and as a --format value; the first name of each
// container is the one the error messages list.
constexpr ContainerName kContainers[] = {
    {"wav", SF_FORMAT_WAV},
    {"wave", SF_FORMAT_WAV},
    {"aiff", SF_FORMAT_AIFF},
    {"aif", SF_FORMAT_AIFF},
    {"aifc", SF_FORMAT_AIFF},
    {"flac", SF_FORMAT_FLAC},
    {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
    {"oga", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
    {"opus", SF_FORMAT_OGG | SF_FORMAT_OPUS},
    {"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
    {"w64", SF_FORMAT_W64},
    {"rf64", SF_FORMAT_RF64},
    {"caf", SF_FORMAT_CAF},
    {"au", SF_FORMAT_AU},
    {"snd", SF_FORMAT_AU},
};

// The sample format a container falls back to when it cannot hold the input's: no loss for any
// 16-bit or lossy source, and what mastering tools exchange.
constexpr int kFallbackSubtype = SF_FORMAT_PCM_24;

struct BitsSubtype {
    int bits;
    int subtype;
};
constexpr BitsSubtype kPcmBits[] = {{16, SF_FORMAT_PCM_16}, {24, SF_FORMAT_PCM_24}, {32, SF_FORMAT_PCM_32}};

std::string knownNames() {
    std::string names;
    for (const auto& container : kContainers) {
        names += names.empty() ? "" : ", ";
        names += container.name;
    }
    return names;
}

std::string lowerExtension(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return std::string();
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

int containerOfExtension(const std::string& path) {
    const std::string extension = lowerExtension(path);
    for (const auto& container : kContainers) {
        if (extension == container.name) {
            return container.format;
        }
    }
    return 0;
}

bool formatWorks(int format) {
    SF_INFO info{};
    info.format = format;
    info.channels = 2;
    info.samplerate = 48000;
    return sf_format_check(&info) != 0;
}

// Name of a major format or of a subtype, looked up by its code.
std::string formatName(int format) {
    SF_FORMAT_INFO info{};
    info.format = format;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof(info)) != 0 || info.name == nullptr) {
        return "format " + std::to_string(format);
    }
    return info.name;
}

// The input's samples as a linear sample format worth keeping: PCM and float as they are, lossless
// ALAC as PCM of its depth; 0 for lossy and companded codecs, which the fallback holds without loss.
int keepableSubtype(int inputFormat) {
    const int subtype = inputFormat & SF_FORMAT_SUBMASK;
    switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
        return subtype;
    case SF_FORMAT_ALAC_16:
        return SF_FORMAT_PCM_16;
    case SF_FORMAT_ALAC_20:
    case SF_FORMAT_ALAC_24:
        return SF_FORMAT_PCM_24;
    case SF_FORMAT_ALAC_32:
        return SF_FORMAT_PCM_32;
    default:
        return 0;
    }
}

int requestedSubtype(const SampleRequest& request) {
    return request.floatSamples ? SF_FORMAT_FLOAT : pcmSubtypeOfBits(request.bits);
}

} // namespace

int pcmSubtypeOfBits(int bits) {
    for (const auto& entry : kPcmBits) {
        if (entry.bits == bits) {
            return entry.subtype;
        }
    }
    return 0;
}

int containerNamed(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& container : kContainers) {
        if (lower == container.name) {
            return container.format;
        }
    }
    throw RenderError("unknown format '" + name + "' (known: " + knownNames() + ")");
}

int containerFor(const std::string& path, int container) {
    if (container != 0) {
        return container;
    }
    const int named = containerOfExtension(path);
    if (named == 0) {
        throw RenderError("cannot tell the format of '" + path +
                          "' from its name (known extensions: " + knownNames() + "; or use --format)");
    }
    return named;
}

bool extensionDisagrees(const std::string& path, int container) {
    const int named = containerOfExtension(path);
    return named != 0 && named != container;
}

OutputFormat chooseOutputFormat(int container, int inputFormat, const SampleRequest& request) {
    const int major = container & SF_FORMAT_TYPEMASK;
    OutputFormat output;
    if ((container & SF_FORMAT_SUBMASK) != 0) {
        // The lossy codecs: the container fixes the samples, --quality sets the size.
        if (request.bits != 0 || request.floatSamples) {
            throw RenderError(describeFormat(container) +
                              " has no sample size to choose (--bits and --float are for uncompressed and "
                              "FLAC output; use --quality)");
        }
        output.format = container;
        output.compressionLevel = (kMaxQuality - request.quality.value_or(kDefaultQuality)) / kMaxQuality;
        return output;
    }
    if (request.quality) {
        throw RenderError("--quality is for the lossy formats (ogg, opus, mp3), not " + formatName(major));
    }
    const int asked = requestedSubtype(request);
    if (asked != 0) {
        if (!formatWorks(major | asked)) {
            throw RenderError(formatName(major) + " cannot hold " + formatName(asked) + " samples");
        }
        output.format = major | asked;
        return output;
    }
    const int kept = keepableSubtype(inputFormat);
    if (kept != 0 && formatWorks(major | kept)) {
        output.format = major | kept;
        return output;
    }
    if (!formatWorks(major | kFallbackSubtype)) {
        throw RenderError("cannot write " + formatName(major) + " files");
    }
    output.format = major | kFallbackSubtype;
    if (kept != 0) {
        output.note = formatName(major) + " has no " + formatName(kept) + " samples; writing " +
                      formatName(kFallbackSubtype);
    }
    return output;
}

std::string describeFormat(int format) {
    return formatName(format & SF_FORMAT_TYPEMASK) + ", " + formatName(format & SF_FORMAT_SUBMASK);
}

} // namespace render
