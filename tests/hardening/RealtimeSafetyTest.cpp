// The audio thread never allocates, frees, locks, sleeps or makes a system call: everything a host's
// audio thread calls (processing, and parameter changes from automation) runs watched by the counting
// interposers of AudioThreadWatch, over every zone, glides, drive and resonance moves, non-finite input,
// odd block sizes and a sample-rate switch, while another thread changes parameters too. The counts are
// printed; every one must be zero.
#include "AudioThreadWatch.h"
#include "HardeningSupport.h"
#include "OffscreenPlatform.h"

#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

using namespace hardening;
using audiowatch::Counts;
using audiowatch::WatchThisThread;

namespace {

// Keeps the compiler from proving an allocation unused and removing it.
void escape(void* pointer) {
    asm volatile("" : : "g"(pointer) : "memory");
}

void printCounts(const char* title, const Counts& counts) {
    std::printf("%s\n", title);
    for (int call = 0; call < audiowatch::kCallKinds; ++call) {
        std::printf("  %-20s %ld\n", audiowatch::callName(static_cast<audiowatch::Call>(call)),
                    counts[static_cast<std::size_t>(call)]);
    }
    std::printf("  %-20s %ld\n", "total", audiowatch::total(counts));
    std::fflush(stdout);
}

struct alignas(128) Wide {
    char bytes[128];
};

// One block of the audio thread's schedule.
struct AudioBlock {
    int frames;
    float knob;  // NaN: unchanged
    float drive; // NaN: unchanged
    float reso;  // NaN: unchanged
    enum Input { kProgramme, kNaNInput, kInfInput, kSubnormalInput } input;
    bool inPlace;
};

// Every zone and the glides between them, moves of drive and resonance (to their extremes too),
// non-finite and subnormal input and the recovery after it, and block sizes from 1 to 4096, 0 and
// negative counts included.
std::vector<AudioBlock> audioSchedule() {
    const float keep = NAN;
    std::vector<AudioBlock> blocks;
    auto add = [&blocks](int count, AudioBlock block) {
        for (int i = 0; i < count; ++i) {
            blocks.push_back(block);
            block.knob = block.drive = block.reso = NAN;
            block.inPlace = !block.inPlace;
        }
    };
    add(8, {512, 0.5f, keep, keep, AudioBlock::kProgramme, false});    // dry
    add(30, {512, 0.0f, keep, keep, AudioBlock::kProgramme, false});   // glide into low-pass
    add(10, {333, keep, 0.6f, 0.95f, AudioBlock::kProgramme, true});   // drive and resonance
    add(20, {1000, 0.43f, keep, keep, AudioBlock::kProgramme, false}); // resonance fade
    add(20, {64, 0.6f, keep, keep, AudioBlock::kProgramme, false});    // crossfade
    add(6, {4096, 1.0f, 1.0f, 1.0f, AudioBlock::kProgramme, true});    // pure high-pass, extremes
    add(2, {256, keep, keep, keep, AudioBlock::kNaNInput, false});     // poison
    add(4, {256, keep, keep, keep, AudioBlock::kProgramme, false});    // recovery
    add(2, {128, keep, keep, keep, AudioBlock::kInfInput, true});
    add(2, {128, keep, 0.0f, 0.0f, AudioBlock::kSubnormalInput, false});
    add(1, {0, keep, keep, keep, AudioBlock::kProgramme, false});
    add(1, {-8, keep, keep, keep, AudioBlock::kProgramme, false});
    add(40, {1, 0.2f, keep, keep, AudioBlock::kProgramme, false});   // one-sample blocks
    add(10, {4095, 0.5f, 0.3f, 0.5f, AudioBlock::kProgramme, true}); // back to dry
    return blocks;
}

void fillInput(StereoBuffer& buffer, AudioBlock::Input input, std::int64_t frame) {
    fillSignal(buffer, frame);
    for (int i = 0; i < buffer.frames(); ++i) {
        float* samples[2] = {&buffer.left[static_cast<std::size_t>(i)],
                             &buffer.right[static_cast<std::size_t>(i)]};
        for (float* sample : samples) {
            switch (input) {
            case AudioBlock::kNaNInput:
                *sample = i % 7 == 0 ? std::numeric_limits<float>::quiet_NaN() : *sample;
                break;
            case AudioBlock::kInfInput:
                *sample = i % 2 == 0 ? std::numeric_limits<float>::infinity()
                                     : -std::numeric_limits<float>::infinity();
                break;
            case AudioBlock::kSubnormalInput:
                *sample = std::numeric_limits<float>::denorm_min() * static_cast<float>(i % 5);
                break;
            case AudioBlock::kProgramme:
                break;
            }
        }
    }
}

} // namespace

TEST(RealtimeSafety, TheWatchSeesWhatItCounts) {
    audiowatch::resetCounts();
    {
        const WatchThisThread watch;
        void* block = std::malloc(24);
        escape(block);
        block = std::realloc(block, 4000);
        escape(block);
        std::free(block);
        void* zeroed = std::calloc(4, 4);
        escape(zeroed);
        std::free(zeroed);
        int* number = new int(3);
        escape(number);
        delete number;
        double* numbers = new (std::nothrow) double[4];
        escape(numbers);
        delete[] numbers;
        Wide* wide = new Wide;
        escape(wide);
        delete wide;
        std::string text(100, 'x');
        escape(&text);
        std::mutex mutex;
        mutex.lock();
        mutex.unlock();
        if (mutex.try_lock()) {
            mutex.unlock();
        }
        sched_yield();
        const timespec none{0, 0};
        nanosleep(&none, nullptr);
        usleep(0);
        EXPECT_EQ(write(-1, "", 0), -1);
        EXPECT_GT(syscall(SYS_getpid), 0);
    }
    const Counts counts = audiowatch::counts();
    printCounts("Positive control: deliberate calls on the watched thread", counts);
    for (audiowatch::Call call :
         {audiowatch::kMalloc, audiowatch::kCalloc, audiowatch::kRealloc, audiowatch::kFree, audiowatch::kNew,
          audiowatch::kDelete, audiowatch::kMutexLock, audiowatch::kMutexTryLock, audiowatch::kYield,
          audiowatch::kSleep, audiowatch::kWrite, audiowatch::kSyscall}) {
        EXPECT_GT(counts[call], 0) << audiowatch::callName(call) << " went uncounted";
    }
    // Three forms of new here (plain, nothrow array, aligned) and the string's buffer.
    EXPECT_GE(counts[audiowatch::kNew], 4);

    // Calls on a thread that is not watched are not counted.
    audiowatch::resetCounts();
    std::thread([] {
        void* block = std::malloc(64);
        escape(block);
        std::free(block);
    }).join();
    EXPECT_EQ(audiowatch::counts()[audiowatch::kMalloc], 0);
}

TEST(RealtimeSafety, TheAudioThreadNeverAllocatesLocksOrEntersTheKernel) {
    AEffect* effect = VSTPluginMain(plainHost);
    ASSERT_NE(effect, nullptr);
    dispatch(effect, effOpen);
    dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effect, effSetBlockSize, 0, 4096);
    dispatch(effect, effMainsChanged, 0, 1);
    // The editor is open on this thread, which repaints it as the audio thread automates.
    int parentWindow = 0;
    ASSERT_EQ(dispatch(effect, effEditOpen, 0, 0, &parentWindow), 1);
    OffscreenPlatform& platform = OffscreenPlatform::instance();

    const std::vector<AudioBlock> schedule = audioSchedule();
    // The user-interface thread switches the sample rate between two runs of the schedule, with the
    // audio stopped, as hosts do; it also moves the parameters while the audio runs.
    std::atomic<int> runsDone{0};
    std::atomic<int> runsAllowed{1};
    std::atomic<bool> audioRunning{true};
    audiowatch::resetCounts();

    std::thread audio([&] {
        // Buffers for every block size, made before the watch starts, as a host's would be.
        std::vector<std::unique_ptr<StereoBuffer>> inputs;
        std::vector<std::unique_ptr<StereoBuffer>> outputs;
        for (const AudioBlock& block : schedule) {
            const int frames = block.frames > 0 ? block.frames : 1;
            inputs.push_back(std::make_unique<StereoBuffer>(frames));
            outputs.push_back(std::make_unique<StereoBuffer>(frames));
        }
        for (int run = 0; run < 2; ++run) {
            while (runsAllowed.load() <= run) {
                // Waiting for the host to finish its switch: not part of the audio work.
            }
            std::int64_t frame = 0;
            for (std::size_t i = 0; i < schedule.size(); ++i) {
                const AudioBlock& block = schedule[i];
                fillInput(*inputs[i], block.input, frame);
                float** in = inputs[i]->channels();
                float** out = block.inPlace ? in : outputs[i]->channels();
                {
                    const WatchThisThread watch;
                    const float values[3] = {block.knob, block.drive, block.reso};
                    for (VstInt32 index = 0; index < 3; ++index) {
                        if (!std::isnan(values[index])) {
                            effect->setParameter(effect, index, values[index]);
                        }
                    }
                    effect->processReplacing(effect, in, out, block.frames);
                    escape(effect->getParameter(effect, 0) > 2.0f ? out[0] : out[1]);
                }
                frame += block.frames > 0 ? block.frames : 0;
            }
            runsDone.fetch_add(1);
        }
        audioRunning.store(false);
    });

    // Mid-run parameter moves from this thread: knob nudges within the current zone and drive and
    // resonance sweeps, including values no host should send.
    const float sideValues[] = {0.1f, 0.9f, NAN, INFINITY, 0.5f};
    unsigned turn = 0;
    while (runsDone.load() < 1) {
        effect->setParameter(effect, 1 + static_cast<VstInt32>(turn % 2), sideValues[turn % 5]);
        platform.fireTimers();
        platform.lastFrame()->paint();
        ++turn;
        std::this_thread::yield();
    }
    dispatch(effect, effMainsChanged, 0, 0);
    dispatch(effect, effSetSampleRate, 0, 0, nullptr, 96000.0f);
    dispatch(effect, effMainsChanged, 0, 1);
    runsAllowed.store(2);
    while (audioRunning.load()) {
        effect->setParameter(effect, 2, sideValues[turn % 5]);
        ++turn;
        std::this_thread::yield();
    }
    audio.join();

    const Counts counts = audiowatch::counts();
    printCounts(
        "Audio thread: 2 runs of the schedule (every zone, glides, NaN/inf/subnormal input, "
        "a switch from 44100 to 96000 Hz between them, parameters from both threads, the editor open)",
        counts);
    EXPECT_EQ(audiowatch::total(counts), 0);
    dispatch(effect, effClose);
}
