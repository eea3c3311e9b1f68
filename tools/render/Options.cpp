#include "Options.h"

#include "OutputRate.h"
#include "RenderError.h"

#include <cerrno>
#include <cstdlib>
#include <set>

namespace render {

namespace {

int parseWholeNumber(const std::string& option, const std::string& text, int min, int max) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || value < min || value > max)
        throw RenderError("bad " + option + " '" + text + "' (expected a whole number from " +
                          std::to_string(min) + " to " + std::to_string(max) + ")");
    return static_cast<int>(value);
}

int parseBits(const std::string& text) {
    char* end = nullptr;
    const long bits = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || pcmSubtypeOfBits(static_cast<int>(bits)) == 0) {
        throw RenderError("bad --bits '" + text + "' (expected 16, 24 or 32)");
    }
    return static_cast<int>(bits);
}

double parseQuality(const std::string& text) {
    double value = 0.0;
    if (!parseNumber(text, value) || value < kMinQuality || value > kMaxQuality) {
        throw RenderError("bad --quality '" + text + "' (expected a number from 0, smallest, to 10, best)");
    }
    return value;
}

double parseTail(const std::string& text) {
    const double seconds = parseTime(text);
    if (seconds > kMaxTailSeconds) {
        throw RenderError("--tail '" + text + "' is longer than an hour");
    }
    return seconds;
}

} // namespace

Options parseOptions(int argc, const char* const* argv) {
    Options options;
    std::vector<std::string> positional;
    bool demo = false;
    bool info = false;
    bool optionsEnded = false;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // Options that take a value accept both "--opt value" and "--opt=value".
        std::string name = arg;
        std::optional<std::string> inlineValue;
        const size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            inlineValue = arg.substr(equals + 1);
        }
        auto value = [&]() -> std::string {
            if (inlineValue)
                return *inlineValue;
            if (i + 1 >= argc)
                throw RenderError(name + " needs a value");
            return argv[++i];
        };
        auto noValue = [&]() {
            if (inlineValue)
                throw RenderError(name + " takes no value");
        };

        if (name == "--help" || name == "-h") {
            noValue();
            options.mode = Mode::Help;
            return options;
        } else if (name == "--version") {
            noValue();
            options.mode = Mode::Version;
            return options;
        } else if (name == "--plugin") {
            options.plugin = value();
            if (options.plugin.empty())
                throw RenderError("--plugin needs a path");
        } else if (name == "--block") {
            options.blockSize = parseWholeNumber(name, value(), kMinBlockSize, kMaxBlockSize);
        } else if (name == "--format") {
            options.container = containerNamed(value());
        } else if (name == "--float") {
            noValue();
            options.samples.floatSamples = true;
        } else if (name == "--bits") {
            options.samples.bits = parseBits(value());
        } else if (name == "--rate") {
            options.rate = parseWholeNumber(name, value(), kMinRate, kMaxRate);
        } else if (name == "--quality") {
            options.samples.quality = parseQuality(value());
        } else if (name == "--tail") {
            options.tailSeconds = parseTail(value());
        } else if (name == "--set") {
            const auto [paramName, text] = splitAssignment(value(), "--set");
            options.settings.push_back({paramName, parseParameterValue(text)});
        } else if (name == "--automate") {
            const auto [paramName, text] = splitAssignment(value(), "--automate");
            options.automations.push_back({paramName, parseEnvelope(text)});
        } else if (name == "--demo") {
            noValue();
            demo = true;
        } else if (name == "--demo-input") {
            options.demoInput = value();
        } else if (name == "--info") {
            noValue();
            info = true;
        } else if (name == "--verbose" || name == "-v") {
            noValue();
            options.verbose = true;
        } else if (name == "--quiet" || name == "-q") {
            noValue();
            options.quiet = true;
        } else {
            throw RenderError("unknown option '" + arg + "' (see --help)");
        }
    }

    if (demo && info)
        throw RenderError("--demo and --info cannot be combined");
    if (options.samples.floatSamples && options.samples.bits != 0) {
        throw RenderError("--float and --bits cannot be combined (--float writes 32-bit float samples)");
    }
    std::set<std::string> seen;
    for (const auto& setting : options.settings) {
        if (!seen.insert(setting.name).second)
            throw RenderError("parameter '" + setting.name + "' is given more than once");
    }
    for (const auto& automation : options.automations) {
        if (!seen.insert(automation.name).second)
            throw RenderError("parameter '" + automation.name + "' is given more than once");
    }

    if (info) {
        options.mode = Mode::Info;
        if (!positional.empty())
            throw RenderError("--info takes no file arguments, got '" + positional.front() + "'");
    } else if (demo) {
        options.mode = Mode::Demo;
        if (positional.size() != 1)
            throw RenderError("--demo expects exactly one OUTPUT file (see --help)");
        options.output = positional[0];
    } else {
        if (!options.demoInput.empty())
            throw RenderError("--demo-input needs --demo");
        if (positional.size() != 2)
            throw RenderError("expected INPUT and OUTPUT files (see --help)");
        options.input = positional[0];
        options.output = positional[1];
    }
    return options;
}

const char* usageText() {
    return "Usage:\n"
           "  velmora-render [options] INPUT OUTPUT   run a VST 2.4 plug-in over an audio file\n"
           "  velmora-render [options] --demo OUTPUT  render the built-in demo loop with a filter sweep\n"
           "  velmora-render [--plugin PATH] --info   describe the plug-in and check its texts\n"
           "\n"
           "Options:\n"
           "  --plugin PATH          VST 2.4 plug-in library (default: Velmora.so beside this program,\n"
           "                         else ../lib/vst/Velmora.so from there)\n"
           "  --block N              frames per processing call, 1 to 65536 (default 512)\n"
           "  --set NAME=VALUE       set a parameter (name as the plug-in reports it, or its index)\n"
           "                         to a value from 0 to 1 before processing\n"
           "  --automate NAME=T:V,...  move a parameter along breakpoints, linear in between and\n"
           "                         held outside; times in seconds: 2, 2s or 2000ms\n"
           "                         (example: --automate knob=0s:0.5,2s:0,6s:1)\n"
           "  --tail SECONDS         after the input, process that much silence so that a reverb\n"
           "                         or delay rings out (default 0: as long as the input)\n"
           "  --format NAME          output format, whatever OUTPUT's extension says (see below)\n"
           "  --bits 16|24|32        write integer samples of that size\n"
           "  --float                write 32-bit float samples\n"
           "                         (default for both: the input's samples where the format holds\n"
           "                         them, else 24-bit; for --demo, float)\n"
           "  --quality Q            ogg, opus and mp3: 0 (smallest) to 10 (best), default 8\n"
           "  --rate HZ              write the output at this sample rate, 1000 to 768000, resampled\n"
           "                         after the plug-in, which runs at the input's rate (default: the\n"
           "                         input's, or the nearest one the format takes, with a line saying so)\n"
           "  --demo                 synthesise a 12 s test loop instead of reading INPUT; its knob,\n"
           "                         drive and reso sweeps can be overridden with --set/--automate\n"
           "  --demo-input FILE      with --demo, also write the dry loop to FILE\n"
           "  --info                 print names, identity, parameters, programs and capabilities\n"
           "  --verbose, -v          describe the run and the plug-in's calls to the host\n"
           "  --quiet, -q            no summary line\n"
           "  --help, -h             this text\n"
           "  --version              print the program's version\n"
           "\n"
           "Input: any file libsndfile reads (WAV, AIFF, FLAC, MP3, Ogg Vorbis, Opus, W64, CAF and\n"
           "more) with one or two channels. A mono input feeds both plug-in inputs; the output is\n"
           "always stereo, as long as the input plus --tail.\n"
           "Output: the format comes from OUTPUT's extension, never from the input's: .wav, .aif or\n"
           ".aiff, .flac, .ogg (Vorbis), .opus, .mp3, .w64, .rf64, .caf, .au. Opus takes 8, 12, 16,\n"
           "24 or 48 kHz and MP3 up to 48 kHz: another input rate is resampled to the next one above\n"
           "it, or from above 48 kHz to 48 kHz (MP3: 44.1 kHz from 88.2 and 176.4 kHz). OUTPUT is\n"
           "written only when the whole run succeeds, and may not be the INPUT file.\n"
           "Plug-ins: two or more outputs, or a mono plug-in (one input, one output), which runs as\n"
           "two instances, one per channel, with the same settings.\n";
}

} // namespace render
