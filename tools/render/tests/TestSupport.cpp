#include "TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace render_test {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/velmora-render-test-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    dir_ = name.data();
}

TempDir::~TempDir() {
    for (const auto& entry : entries()) {
        if (std::remove(path(entry).c_str()) != 0)
            rmdir(path(entry).c_str());
    }
    rmdir(dir_.c_str());
}

std::vector<std::string> TempDir::entries() const {
    std::vector<std::string> names;
    if (DIR* dir = opendir(dir_.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.push_back(entry->d_name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

RunResult runProgram(const std::string& path, const std::vector<std::string>& args,
                     const std::vector<std::string>& environment) {
    TempDir capture;
    const std::string outPath = capture.path("stdout");
    const std::string errPath = capture.path("stderr");

    std::vector<std::string> argStrings{path};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : argStrings)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    // An entry given here replaces ours of the same name: the child would see only the first of two.
    auto replaced = [&environment](const std::string& entry) {
        const std::size_t name = entry.find('=') + 1; // with the '='; 0 if there is none
        return name > 0 && std::any_of(environment.begin(), environment.end(), [&](const std::string& given) {
                   return given.compare(0, name, entry, 0, name) == 0;
               });
    };
    std::vector<std::string> envStrings;
    for (char** e = environ; *e != nullptr; ++e) {
        if (!replaced(*e))
            envStrings.push_back(*e);
    }
    envStrings.insert(envStrings.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (auto& entry : envStrings)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + path);
    int wstatus = 0;
    waitpid(child, &wstatus, 0);

    RunResult result;
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    result.out = fileBytes(outPath);
    result.err = fileBytes(errPath);
    return result;
}

RunResult runRender(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
    return runProgram(RENDER_EXE, args, environment);
}

std::vector<float> testSignal(int channels, int frames, int sampleRate) {
    std::vector<float> samples(static_cast<size_t>(channels) * static_cast<size_t>(frames));
    uint32_t state = 12345u;
    double phase = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        phase += 2.0 * M_PI * (50.0 + 8000.0 * t) / sampleRate;
        state = state * 1664525u + 1013904223u;
        const double noise = static_cast<double>(state >> 8) / 8388608.0 - 1.0;
        const double left = 0.4 * std::sin(phase);
        const double right = 0.4 * noise;
        if (channels == 1) {
            samples[static_cast<size_t>(i)] = static_cast<float>(0.5 * (left + right));
        } else {
            samples[static_cast<size_t>(i) * 2] = static_cast<float>(left);
            samples[static_cast<size_t>(i) * 2 + 1] = static_cast<float>(right);
            for (int c = 2; c < channels; ++c)
                samples[static_cast<size_t>(i * channels + c)] = 0.1f;
        }
    }
    return samples;
}

void writeAudio(const std::string& path, int format, int channels, int sampleRate,
                const std::vector<float>& samples) {
    SF_INFO info{};
    info.format = format;
    info.channels = channels;
    info.samplerate = sampleRate;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        throw std::runtime_error("cannot write test file " + path + ": " + sf_strerror(nullptr));
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
    sf_close(file);
}

Audio readAudio(const std::string& path) {
    Audio audio;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &audio.info);
    if (file == nullptr)
        throw std::runtime_error("cannot read " + path + ": " + sf_strerror(nullptr));
    audio.samples.resize(static_cast<size_t>(audio.info.frames * audio.info.channels));
    sf_readf_float(file, audio.samples.data(), audio.info.frames);
    sf_close(file);
    return audio;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::stringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

} // namespace render_test
