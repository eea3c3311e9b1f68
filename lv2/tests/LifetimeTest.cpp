// Instances made and freed as a host makes them: the plug-in starts no thread, ever, and 200 cycles of
// instantiate, activate, run, deactivate and cleanup leave no descriptor and no memory behind (the
// address-sanitizer lane checks the same for leaks at exit).
#include "Lv2Ports.h"
#include "Lv2TestHost.h"
#include "XServer.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <vector>

using namespace lv2test;

TEST(Lv2Lifetime, TwoHundredCyclesLeaveNoThreadDescriptorOrMemoryBehind) {
    Bundle bundle;
    std::vector<float> left(256, 0.25f);
    std::vector<float> right(256, -0.25f);
    float* const in[2] = {left.data(), right.data()};
    const int threads = threadCount();
    auto cycle = [&] {
        Lv2Instance instance(bundle, 48000.0);
        instance.connectControls();
        instance.activate();
        instance.block(Controls{0.1f, 0.5f, 0.9f}, in, in, 256);
        EXPECT_EQ(threadCount(), threads) << "a thread while an instance runs";
    };
    // The first cycles load the library and fill the C library's caches (a one-off 4 KB within the
    // first 50 cycles, measured).
    for (int i = 0; i < 100; ++i) {
        cycle();
    }
    const int descriptors = descriptorCount();
    const std::size_t heap = mallinfo2().uordblks;
    for (int i = 0; i < 200; ++i) {
        cycle();
    }
    EXPECT_EQ(threadCount(), threads);
    EXPECT_EQ(descriptorCount(), descriptors);
    EXPECT_LE(mallinfo2().uordblks, heap) << "bytes in use grew";
}
