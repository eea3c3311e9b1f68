#include "AudioFile.h"

#include "RenderError.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace render {

namespace {

// Temporary outputs of the running process (--demo may write two), for the signal handler.
constexpr int kPendingSlots = 2;
char pendingTemporary[kPendingSlots][PATH_MAX + 1] = {};

void removePendingOutput(int signalNumber) {
    for (auto& slot : pendingTemporary) {
        if (slot[0] != '\0')
            unlink(slot);
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

int claimPendingSlot(const std::string& path) {
    for (int i = 0; i < kPendingSlots; ++i) {
        if (pendingTemporary[i][0] == '\0' && path.size() <= PATH_MAX) {
            std::memcpy(pendingTemporary[i], path.c_str(), path.size() + 1);
            return i;
        }
    }
    return -1;
}

void releasePendingSlot(int slot) {
    if (slot >= 0)
        pendingTemporary[slot][0] = '\0';
}

} // namespace

std::string libraryMessage(const char* text) {
    const std::string message = text;
    const std::string prefix = "Error : ";
    return message.rfind(prefix, 0) == 0 ? message.substr(prefix.size()) : message;
}

AudioReader::AudioReader(const std::string& path) : path_(path) {
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (file_ == nullptr) {
        if (access(path.c_str(), F_OK) != 0)
            throw RenderError("cannot open input '" + path + "': " + std::strerror(errno));
        throw RenderError("cannot read input '" + path + "': " + sf_strerror(nullptr));
    }
    channels_ = info.channels;
    sampleRate_ = info.samplerate;
    frames_ = info.frames;
    format_ = info.format;
    if (channels_ < 1 || channels_ > 2) {
        sf_close(file_);
        file_ = nullptr;
        throw RenderError("input '" + path + "' has " + std::to_string(channels_) +
                          " channels; only mono and stereo files are supported");
    }
    if (sampleRate_ <= 0) {
        sf_close(file_);
        file_ = nullptr;
        throw RenderError("input '" + path + "' has no valid sample rate");
    }
}

AudioReader::~AudioReader() {
    if (file_ != nullptr)
        sf_close(file_);
}

int64_t AudioReader::read(float* interleaved, int64_t frames) {
    const sf_count_t got = sf_readf_float(file_, interleaved, frames);
    if (got < 0 || (got == 0 && sf_error(file_) != SF_ERR_NO_ERROR))
        throw RenderError("error reading '" + path_ + "': " + sf_strerror(file_));
    return got;
}

AudioWriter::AudioWriter(const std::string& path, const OutputFormat& format, int channels, int sourceRate,
                         int fileRate)
    : path_(path), channels_(channels) {
    // Made before the temporary file, which a failure here would leave behind.
    if (sourceRate != fileRate)
        resampler_ = std::make_unique<Resampler>(sourceRate, fileRate, channels);
    const size_t slash = path.rfind('/');
    const std::string directory =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty())
        throw RenderError("output '" + path + "' is a directory, not a file name");
    struct stat status {};
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        throw RenderError("output '" + path + "' is a directory");

    const std::string pattern = directory + "/." + base + ".partial-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0)
        throw RenderError("cannot create output in '" + directory + "': " + std::strerror(errno));
    temporaryPath_ = name.data();
    pendingSlot_ = claimPendingSlot(temporaryPath_);

    // mkstemp makes the file private; the result should get the permissions of any new file.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);

    SF_INFO info{};
    info.format = format.format;
    info.channels = channels;
    info.samplerate = fileRate;
    file_ = sf_open_fd(descriptor, SFM_WRITE, &info, SF_TRUE);
    if (file_ == nullptr) {
        close(descriptor);
        unlink(temporaryPath_.c_str());
        releasePendingSlot(pendingSlot_);
        temporaryPath_.clear();
        throw RenderError("cannot write '" + path + "' as " + describeFormat(format.format) + ": " +
                          libraryMessage(sf_strerror(nullptr)));
    }
    if (format.compressionLevel) {
        double level = *format.compressionLevel;
        sf_command(file_, SFC_SET_COMPRESSION_LEVEL, &level, sizeof(level));
    }
    // A loud plug-in must clip in integer formats rather than wrap around.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // The PEAK chunk carries a time stamp; without it equal audio makes byte-identical files.
    sf_command(file_, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
}

AudioWriter::~AudioWriter() {
    if (file_ != nullptr)
        sf_close(file_);
    if (!temporaryPath_.empty()) {
        unlink(temporaryPath_.c_str());
        releasePendingSlot(pendingSlot_);
    }
}

void AudioWriter::write(const float* interleaved, int64_t frames) {
    if (!resampler_) {
        store(interleaved, frames);
        return;
    }
    const std::vector<float>& converted = resampler_->process(interleaved, frames);
    store(converted.data(), static_cast<int64_t>(converted.size()) / channels_);
}

void AudioWriter::store(const float* interleaved, int64_t frames) {
    if (sf_writef_float(file_, interleaved, frames) != frames)
        throw RenderError("error writing '" + path_ + "': " + sf_strerror(file_));
}

void AudioWriter::commit() {
    if (resampler_) {
        const std::vector<float>& rest = resampler_->finish();
        store(rest.data(), static_cast<int64_t>(rest.size()) / channels_);
    }
    sf_write_sync(file_);
    const int status = sf_close(file_);
    file_ = nullptr;
    if (status != 0)
        throw RenderError("error finishing '" + path_ + "': " + sf_error_number(status));
    if (rename(temporaryPath_.c_str(), path_.c_str()) != 0)
        throw RenderError("cannot create output '" + path_ + "': " + std::strerror(errno));
    temporaryPath_.clear();
    releasePendingSlot(pendingSlot_);
}

bool sameFile(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    struct stat first {};
    struct stat second {};
    if (stat(a.c_str(), &first) != 0 || stat(b.c_str(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void installCleanupHandlers() {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        std::signal(signalNumber, removePendingOutput);
}

} // namespace render
