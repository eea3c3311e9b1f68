// Running velmora-render (or another program) as a child process, and making and reading audio files for it.
#pragma once

#include <sndfile.h>
#include <string>
#include <vector>

namespace render_test {

inline std::string fixture(const std::string& name) {
    return std::string(FIXTURE_DIR) + "/" + name + ".so";
}

struct RunResult {
    int status = -1; // exit status; 128 + signal if killed
    std::string out;
    std::string err;
};

// Runs the program at `path` with `args`; `environment` entries ("NAME=value") are added to ours.
RunResult runProgram(const std::string& path, const std::vector<std::string>& args,
                     const std::vector<std::string>& environment = {});
// The same for velmora-render.
RunResult runRender(const std::vector<std::string>& args, const std::vector<std::string>& environment = {});

// A fresh directory, removed with its contents at the end of the test.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::vector<std::string> entries() const; // sorted names
  private:
    std::string dir_;
};

struct Audio {
    SF_INFO info{};
    std::vector<float> samples; // interleaved
};

// Deterministic test material: a sine sweep on the left, noise on the right (mono: their sum), at 0.4.
std::vector<float> testSignal(int channels, int frames, int sampleRate);
void writeAudio(const std::string& path, int format, int channels, int sampleRate,
                const std::vector<float>& samples);
Audio readAudio(const std::string& path);
std::string fileBytes(const std::string& path);
std::vector<std::string> lines(const std::string& text);

} // namespace render_test
