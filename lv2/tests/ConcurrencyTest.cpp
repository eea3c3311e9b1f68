// Hosts run instances on several threads at once (one per DSP core): two instances running side by
// side on two threads sound exactly as each alone, so they share no state. Under ThreadSanitizer (label
// "concurrency") any state they did share would show as a race.
#include "Lv2TestHost.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using namespace lv2test;

TEST(Lv2Concurrency, InstancesOnTwoThreadsSoundAsEachAlone) {
    Bundle bundle;
    const std::vector<float> input = render_test::testSignal(2, 48000, 48000);
    const float knobs[2] = {0.1f, 0.85f};
    auto playAlongside = [&](Lv2Instance& instance, float knob) {
        // The knob to one side, then across to the other.
        return play(instance, input, 48000.0, 256, [knob](double seconds) {
            return Controls{seconds < 0.5 ? knob : 1.0f - knob, 0.4f, 0.8f};
        });
    };
    // lilv itself is not thread-safe: instances are made on this thread, as hosts make them.
    Lv2Instance first(bundle, 48000.0);
    Lv2Instance second(bundle, 48000.0);
    Lv2Instance alone(bundle, 48000.0);
    for (Lv2Instance* instance : {&first, &second, &alone}) {
        instance->connectControls();
        instance->activate();
    }
    std::vector<float> other;
    std::thread thread([&] { other = playAlongside(second, knobs[1]); });
    const std::vector<float> mine = playAlongside(first, knobs[0]);
    thread.join();
    EXPECT_TRUE(mine != other);
    EXPECT_TRUE(mine == playAlongside(alone, knobs[0]));
}
