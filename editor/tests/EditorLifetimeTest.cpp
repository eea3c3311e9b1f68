// Hosts that open twice, close what was never opened, pass null pointers, close the instance with the
// window open, or open and close a thousand times: one window at most, nothing left behind.
#include "EditorFixture.h"

namespace {

using Lifetime = EditorFixture;

TEST_F(Lifetime, EditorOpcodesOutOfOrderOrWithNullPointersChangeNothing) {
    OffscreenPlatform& platform = OffscreenPlatform::instance();
    const int framesBefore = platform.frameCount();
    EXPECT_EQ(dispatch(effEditClose), 0);
    EXPECT_EQ(dispatch(effEditIdle), 0);
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, nullptr), 0);
    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_UP), 0);
    EXPECT_EQ(dispatch(effEditKeyUp, 0, VKEY_UP), 0);

    EXPECT_EQ(dispatch(effEditOpen, 0, 0, nullptr), 1) << "no parent: opens, shows nothing";
    EXPECT_EQ(window = platform.lastFrame(), frame()->getPlatformFrame());
    EXPECT_EQ(window->getParent(), nullptr);
    open();
    EXPECT_EQ(platform.frameCount(), framesBefore + 1) << "a second open replaces the first window";
    EXPECT_EQ(window->getParent(), &parentWindow);

    window->mouseDown(centreOf(kMainKnobRect), kLButton);
    window->mouseUp(centreOf(kMainKnobRect), 0);
    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_UP), 1) << "the clicked knob has the keys";
    EXPECT_FLOAT_EQ(get(kKnob), 0.6f);

    hosttest::RecordingHost::reset();
    window->mouseDown(centreOf(kMainKnobRect), kLButton);
    window->mouseMoved(centreOf(kMainKnobRect).offset(0, -20), kLButton);
    dispatch(effClose);
    record = nullptr;
    EXPECT_EQ(hostCalls(audioMasterBeginEdit), std::vector<std::string>{"0:0"});
    EXPECT_EQ(hostCalls(audioMasterEndEdit), std::vector<std::string>{"0:0"})
        << "a drag cut short by closing the instance still ends its edit, while the effect can tell the host";
    EXPECT_EQ(platform.frameCount(), framesBefore) << "closing the instance closes its window";
    EXPECT_TRUE(platform.runningTimerPeriods().empty());
}

TEST_F(Lifetime, AThousandOpensAndClosesLeaveOneTimerAndNoWindow) {
    OffscreenPlatform& platform = OffscreenPlatform::instance();
    const int framesBefore = platform.frameCount();
    for (int i = 0; i < 1000; ++i) {
        open();
        set(i % 3, static_cast<float>(i % 10) / 10.0f);
        if (i % 7 == 0) {
            platform.fireTimers();
            window->paint();
        }
        close();
    }
    EXPECT_EQ(platform.frameCount(), framesBefore);
    EXPECT_EQ(platform.runningTimerPeriods(), std::vector<uint32_t>{150});
}

} // namespace
