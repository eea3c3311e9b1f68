#include "Commands.h"

#include "AudioFile.h"
#include "DemoSignal.h"
#include "InfoReport.h"
#include "OutputRate.h"
#include "PluginLoader.h"
#include "Rack.h"
#include "RenderError.h"
#include "Renderer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <set>
#include <sndfile.h>

namespace render {

namespace {

constexpr VstInt32 kVstProcessLevelOffline = 4;
// The demo loop is synthesised as float samples; its output follows them as a float file would.
constexpr int kDemoSampleFormat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

std::unique_ptr<Plugin> loadPlugin(const Options& options, HostContext& host) {
    if (!options.plugin.empty())
        return Plugin::load(options.plugin, host);
    const std::string path = defaultPluginPath();
    try {
        return Plugin::load(path, host);
    } catch (const RenderError& error) {
        throw RenderError(std::string(error.what()) + "; name another plug-in with --plugin PATH");
    }
}

// Resolves --set and --automate names against the plug-in, then sends the fixed values.
std::vector<AutomationLane> applyParameterOptions(Rack& rack, const Options& options) {
    Plugin& plugin = rack.lead();
    std::vector<AutomationLane> lanes;
    for (const auto& automation : options.automations) {
        lanes.push_back({plugin.findParameter(automation.name), automation.envelope});
    }
    for (const auto& setting : options.settings) {
        rack.setParameter(plugin.findParameter(setting.name), static_cast<float>(setting.value));
    }
    return lanes;
}

void refuseSameFile(const std::string& a, const std::string& b, const char* what) {
    if (sameFile(a, b))
        throw RenderError(std::string("OUTPUT '") + b + "' is the " + what + " file; choose another name");
}

struct Output {
    OutputFormat format;
    int rate;
};

// The output's format and sample rate, with the warning and note lines they call for: none if either is
// refused.
Output chooseOutput(const Options& options, int inputFormat, int inputRate) {
    const int container = containerFor(options.output, options.container);
    const OutputFormat format = chooseOutputFormat(container, inputFormat, options.samples);
    const OutputRate rate = chooseOutputRate(format.format, inputRate, options.rate);
    if (extensionDisagrees(options.output, container)) {
        std::cerr << "velmora-render: warning: writing " << describeFormat(format.format) << " data to '"
                  << options.output << "' as --format asks\n";
    }
    for (const std::string& note : {format.note, rate.note}) {
        if (!note.empty()) {
            std::cerr << "velmora-render: " << note << "\n";
        }
    }
    return {format, rate.rate};
}

void describeRun(Rack& rack, const Options& options, const RenderJob& job, int64_t frames,
                 const Output& output) {
    Plugin& plugin = rack.lead();
    std::cerr << "velmora-render: plug-in " << plugin.path()
              << (rack.size() == 2 ? ", one instance per channel" : "") << "\n"
              << "velmora-render: " << frames << " frames, " << job.sourceChannels << " channel(s) at "
              << job.sampleRate << " Hz, blocks of " << options.blockSize << ", tail of " << job.tailFrames
              << " frames, writing stereo " << describeFormat(output.format.format) << " at " << output.rate
              << " Hz\n";
    const auto& names = plugin.parameterNames();
    for (const auto& lane : job.lanes)
        std::cerr << "velmora-render: automating parameter " << lane.index << " '"
                  << names[static_cast<size_t>(lane.index)] << "' over " << lane.envelope.points().size()
                  << " breakpoint(s)\n";
}

void reportHost(const HostContext& host) {
    std::cerr << "velmora-render: host notifications: automate " << host.automateCount << ", beginEdit "
              << host.beginEditCount << ", endEdit " << host.endEditCount << "\n";
    std::string asked;
    for (size_t opcode = 0; opcode < host.opcodeCounts.size(); ++opcode) {
        if (host.opcodeCounts[opcode] != 0)
            asked += " " + std::to_string(opcode) + "x" + std::to_string(host.opcodeCounts[opcode]);
    }
    std::cerr << "velmora-render: host opcodes received (opcode x count):"
              << (asked.empty() ? " none" : asked) << "\n";
}

void printSummary(int64_t frames, double sampleRate, std::chrono::steady_clock::duration wall) {
    const double audioSeconds = static_cast<double>(frames) / sampleRate;
    const double wallSeconds = std::chrono::duration<double>(wall).count();
    char line[160];
    std::snprintf(line, sizeof(line),
                  "velmora-render: %.2f s of audio in %.3f s wall time, %.1fx real time\n", audioSeconds,
                  wallSeconds, wallSeconds > 0.0 ? audioSeconds / wallSeconds : 0.0);
    std::cerr << line;
}

// Processes the whole source and the tail through the rack into `writer`, with progress, summary and
// host report; the caller commits the output.
void process(Rack& rack, const Options& options, const RenderJob& job, const FrameSource& source,
             AudioWriter& writer, int64_t sourceFrames) {
    HostContext& host = rack.lead().host();
    rack.start(job.sampleRate, job.blockSize);
    host.processLevel = kVstProcessLevelOffline;
    host.automationPlaying = !job.lanes.empty();

    Progress progress(sourceFrames + job.tailFrames, job.sampleRate, !options.quiet);
    const auto began = std::chrono::steady_clock::now();
    const int64_t frames = renderAll(
        rack, job, source, [&writer](const float* data, int64_t count) { writer.write(data, count); },
        progress);
    const auto wall = std::chrono::steady_clock::now() - began;
    rack.stop();

    if (options.verbose) {
        reportHost(host);
    }
    if (!options.quiet) {
        printSummary(frames, job.sampleRate, wall);
    }
}

RenderJob makeJob(Rack& rack, const Options& options, int sourceChannels, int sampleRate) {
    RenderJob job;
    job.sourceChannels = sourceChannels;
    job.sampleRate = sampleRate;
    job.blockSize = options.blockSize;
    job.tailFrames = std::llround(options.tailSeconds * sampleRate);
    job.lanes = applyParameterOptions(rack, options);
    return job;
}

} // namespace

int runRender(const Options& options) {
    refuseSameFile(options.input, options.output, "INPUT");
    AudioReader reader(options.input);
    const Output output = chooseOutput(options, reader.format(), reader.sampleRate());

    HostContext host;
    Rack rack(loadPlugin(options, host));
    const RenderJob job = makeJob(rack, options, reader.channels(), reader.sampleRate());

    AudioWriter writer(options.output, output.format, 2, reader.sampleRate(), output.rate);
    if (options.verbose) {
        describeRun(rack, options, job, reader.frames(), output);
    }
    process(
        rack, options, job, [&reader](float* data, int64_t count) { return reader.read(data, count); },
        writer, reader.frames());
    writer.commit();
    return 0;
}

int runDemo(const Options& options) {
    if (!options.demoInput.empty()) {
        refuseSameFile(options.demoInput, options.output, "--demo-input");
    }
    const Output output = chooseOutput(options, kDemoSampleFormat, kDemoSampleRate);

    HostContext host;
    Rack rack(loadPlugin(options, host));
    RenderJob job = makeJob(rack, options, 2, kDemoSampleRate);
    Plugin& plugin = rack.lead();

    // The built-in moves, for every parameter the user did not set or automate and the plug-in has.
    std::set<VstInt32> taken;
    for (const auto& lane : job.lanes)
        taken.insert(lane.index);
    for (const auto& setting : options.settings)
        taken.insert(plugin.findParameter(setting.name));
    const auto& names = plugin.parameterNames();
    for (const auto& automation : demoAutomation()) {
        const auto found = std::find(names.begin(), names.end(), automation.name);
        if (found == names.end()) {
            std::cerr << "velmora-render: warning: the plug-in has no parameter '" << automation.name
                      << "'; the demo leaves it out\n";
            continue;
        }
        const VstInt32 index = static_cast<VstInt32>(found - names.begin());
        if (taken.insert(index).second)
            job.lanes.push_back({index, automation.envelope});
    }

    const std::vector<float> signal = synthesiseDemo(kDemoSampleRate);
    const int64_t totalFrames = static_cast<int64_t>(signal.size() / 2);
    std::unique_ptr<AudioWriter> dry;
    if (!options.demoInput.empty()) {
        dry =
            std::make_unique<AudioWriter>(options.demoInput, output.format, 2, kDemoSampleRate, output.rate);
        dry->write(signal.data(), totalFrames);
    }
    AudioWriter writer(options.output, output.format, 2, kDemoSampleRate, output.rate);
    if (options.verbose) {
        describeRun(rack, options, job, totalFrames, output);
    }

    int64_t position = 0;
    const FrameSource source = [&](float* data, int64_t count) {
        const int64_t n = std::min(count, totalFrames - position);
        std::memcpy(data, signal.data() + position * 2, static_cast<size_t>(n) * 2 * sizeof(float));
        position += n;
        return n;
    };
    process(rack, options, job, source, writer, totalFrames);
    if (dry)
        dry->commit();
    writer.commit();
    return 0;
}

int runInfo(const Options& options) {
    if (!options.automations.empty())
        throw RenderError("--automate has no effect with --info (use --set to see a value's display)");
    HostContext host;
    Rack rack(loadPlugin(options, host));
    Plugin& plugin = rack.lead();
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(host.sampleRate));
    plugin.dispatch(effSetBlockSize, 0, host.blockSize);
    applyParameterOptions(rack, options);
    printInfo(plugin, std::cout, std::cerr);
    std::cout.flush();
    return 0;
}

} // namespace render
