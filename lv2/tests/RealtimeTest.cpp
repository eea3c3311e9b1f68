// What a host calls on its audio thread (connect_port and run, here activate and deactivate too) never
// allocates, frees, locks, sleeps or makes a system call: the whole zone tour with non-finite control
// values and input, block sizes from 1 to 4096 and in-place blocks, watched by the counting interposers.
#include "AudioThreadWatch.h"
#include "HardeningSupport.h"
#include "Lv2TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace hardening;
using namespace lv2test;

TEST(Lv2Realtime, TheAudioThreadNeverAllocatesLocksOrEntersTheKernel) {
    std::vector<Step> steps = zoneTour();
    const float inf = INFINITY;
    steps.insert(steps.end(), {{128, inf, -inf, inf}, {64, 0.2f, 0.5f, -inf}, {4096, 1.5f, -0.5f, 2.0f}});
    // Values and buffers made before the watch starts, as a host's would be; NaN in a tour step keeps the
    // value before.
    std::vector<Controls> values;
    std::vector<std::unique_ptr<StereoBuffer>> buffers;
    std::vector<std::unique_ptr<StereoBuffer>> outputs;
    Controls now{0.5f, 0.0f, 0.5f};
    std::int64_t frame = 0;
    for (const Step& step : steps) {
        now = {std::isnan(step.knob) ? now.knob : step.knob, std::isnan(step.drive) ? now.drive : step.drive,
               std::isnan(step.reso) ? now.reso : step.reso};
        values.push_back(now);
        buffers.push_back(std::make_unique<StereoBuffer>(step.frames));
        outputs.push_back(std::make_unique<StereoBuffer>(step.frames));
        fillSignal(*buffers.back(), frame);
        frame += step.frames;
    }
    buffers[3]->left[7] = NAN;
    buffers[4]->right[0] = inf;
    values.push_back({NAN, NAN, NAN});
    buffers.push_back(std::make_unique<StereoBuffer>(1));
    outputs.push_back(std::make_unique<StereoBuffer>(1));

    Bundle bundle;
    Lv2Instance instance(bundle, 44100.0);
    audiowatch::resetCounts();
    {
        const audiowatch::WatchThisThread watch;
        instance.connectControls();
        instance.activate();
        for (std::size_t i = 0; i < values.size(); ++i) {
            float** in = buffers[i]->channels();
            float** out = i % 2 == 0 ? in : outputs[i]->channels(); // every other block in place
            instance.block(values[i], in, out, static_cast<std::uint32_t>(buffers[i]->frames()));
        }
        instance.deactivate();
    }
    const audiowatch::Counts counts = audiowatch::counts();
    for (int call = 0; call < audiowatch::kCallKinds; ++call) {
        EXPECT_EQ(counts[static_cast<std::size_t>(call)], 0)
            << audiowatch::callName(static_cast<audiowatch::Call>(call));
    }
}
