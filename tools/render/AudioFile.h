// Audio files through libsndfile: reading the input, and writing the output to a temporary file that becomes
// OUTPUT only when the run succeeds.
#pragma once

#include "OutputFormat.h"
#include "Resampler.h"

#include <cstdint>
#include <memory>
#include <string>

typedef struct sf_private_tag SNDFILE;

namespace render {

class AudioReader {
  public:
    explicit AudioReader(const std::string& path); // throws RenderError
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    int channels() const { return channels_; }
    int sampleRate() const { return sampleRate_; }
    int64_t frames() const { return frames_; }
    int format() const { return format_; } // libsndfile SF_FORMAT_* (major | subtype)

    // Interleaved float frames; returns the number read, 0 at the end.
    int64_t read(float* interleaved, int64_t frames);

  private:
    std::string path_;
    SNDFILE* file_ = nullptr;
    int channels_ = 0;
    int sampleRate_ = 0;
    int64_t frames_ = 0;
    int format_ = 0;
};

class AudioWriter {
  public:
    // Creates a temporary file beside `path`; nothing appears under `path` before commit(). Frames come at
    // `sourceRate` and are stored at `fileRate`: resampled when the two differ, else as they are.
    AudioWriter(const std::string& path, const OutputFormat& format, int channels, int sourceRate,
                int fileRate);
    ~AudioWriter(); // removes the temporary file unless committed
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    void write(const float* interleaved, int64_t frames);
    void commit(); // close and rename onto the final path

  private:
    void store(const float* interleaved, int64_t frames);

    std::string path_;
    std::string temporaryPath_;
    SNDFILE* file_ = nullptr;
    int channels_ = 0;
    int pendingSlot_ = -1;
    std::unique_ptr<Resampler> resampler_;
};

// A libsndfile message without the "Error : " some of its encoders start with; ours say that already.
std::string libraryMessage(const char* text);

// Same file by path or by device and inode; false if either does not exist.
bool sameFile(const std::string& a, const std::string& b);

// Removes a half-written output when the process dies from a signal.
void installCleanupHandlers();

} // namespace render
