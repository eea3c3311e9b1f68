// The window as it opens: size, the six controls in order with their places, tags, pictures and
// set-up, the lamp and read-out from the effect's values, and what close and reopen do.
#include "EditorFixture.h"

#include <typeinfo>

namespace {

using Layout = EditorFixture;

TEST_F(Layout, TheRectangleIsKnownBeforeAnyOpenAndTheTimerRunsSlowlyWhileClosed) {
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ((std::vector<int>{rect->top, rect->left, rect->bottom, rect->right}),
              (std::vector<int>{0, 0, 149, 171}));
    EXPECT_EQ(OffscreenPlatform::instance().runningTimerPeriods(), std::vector<uint32_t>{150});
    close();
    EXPECT_EQ(frame(), nullptr) << "closing a window never opened changes nothing";
    EXPECT_EQ(OffscreenPlatform::instance().runningTimerPeriods(), std::vector<uint32_t>{150});
}

TEST_F(Layout, OpenBuildsTheSixControlsInOrderAboveTheBackground) {
    set(kDrive, 0.25f);
    set(kReso, 0.75f);
    const int framesBefore = OffscreenPlatform::instance().frameCount();
    open();
    EXPECT_EQ(window->getParent(), &parentWindow);
    EXPECT_EQ(frame()->getViewSize(), CRect(0, 0, 171, 149));
    ASSERT_NE(frame()->getBackground(), nullptr);
    EXPECT_EQ(frame()->getBackground()->getResourceDescription().id, 128);
    struct Expected {
        const std::type_info& type;
        CRect rect;
        int32_t tag;
        int32_t picture; // 0: none
        bool mouse;
        float value;
        float defaultValue;
    };
    const Expected controls[] = {
        {typeid(CTextLabel), CRect(70, 6, 104, 18), -1, 0, true, 0.0f, 0.5f},
        {typeid(CKickButton), CRect(120, 0, 171, 33), 6, 0, true, 0.0f, 0.5f},
        {typeid(COnOffButton), CRect(57, 81, 112, 138), 4, 129, false, 0.0f, 0.5f},
        {typeid(CKnob), CRect(40, 18, 130, 108), 0, 130, true, 0.5f, 0.5f},
        {typeid(CAnimKnob), CRect(126, 108, 158, 140), 2, 131, true, 0.75f, 0.5f},
        {typeid(CAnimKnob), CRect(13, 108, 45, 140), 1, 131, true, 0.25f, 0.0f},
    };
    ASSERT_EQ(frame()->getNbViews(), 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const Expected& want = controls[i];
        auto* control = static_cast<CControl*>(frame()->getView(i));
        EXPECT_EQ(typeid(*control), want.type);
        EXPECT_EQ(control->getViewSize(), want.rect);
        EXPECT_EQ(control->getTag(), want.tag);
        EXPECT_EQ(control->getBackground() != nullptr ? control->getBackground()->getResourceDescription().id
                                                      : 0,
                  want.picture);
        EXPECT_EQ(control->getMouseEnabled(), want.mouse);
        EXPECT_EQ(control->getValue(), want.value);
        EXPECT_EQ(control->getDefaultValue(), want.defaultValue);
    }
    EXPECT_EQ(mainKnob()->getZoomFactor(), 400.0f);
    EXPECT_EQ(resoKnob()->getZoomFactor(), 1.5f);
    EXPECT_EQ(label()->getFont(), kNormalFontSmaller);
    EXPECT_EQ(OffscreenPlatform::instance().runningTimerPeriods(), std::vector<uint32_t>{50});

    close();
    EXPECT_EQ(frame(), nullptr);
    EXPECT_EQ(OffscreenPlatform::instance().frameCount(), framesBefore) << "no window survives close";
    EXPECT_EQ(OffscreenPlatform::instance().runningTimerPeriods(), std::vector<uint32_t>{150});
}

TEST_F(Layout, TheLampLightsOutsideTheDryCentreAndAtItsBoundsWhileTheReadOutShowsTheDisplayText) {
    const struct {
        float knob;
        float lamp;
        const char* readOut;
    } cases[] = {{0.5f, 0, "---"},  {0.45f, 1, "---"}, {0.55f, 1, "---"}, {0.2f, 1, "683"},
                 {0.8f, 1, "795"},  {0.1f, 1, "233"},  {0.0f, 1, "80"},   {1.0f, 1, "4999"},
                 {0.46f, 0, "---"}, {0.54f, 0, "---"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.knob);
        set(kKnob, c.knob);
        char display[kVstMaxParamStrLen];
        dispatch(effGetParamDisplay, kKnob, 0, display);
        open();
        EXPECT_EQ(lamp()->getValue(), c.lamp);
        EXPECT_EQ(readOut(), display);
        EXPECT_EQ(readOut(), c.readOut);
        EXPECT_EQ(mainKnob()->getValue(), c.knob);
        close();
    }
}

TEST_F(Layout, ReopeningShowsWhatTheHostChangedWhileClosed) {
    open();
    close();
    set(kKnob, 0.2f);
    set(kDrive, 0.9f);
    set(kReso, 0.1f);
    EXPECT_EQ(frame(), nullptr);
    open();
    EXPECT_EQ(mainKnob()->getValue(), 0.2f);
    EXPECT_EQ(driveKnob()->getValue(), 0.9f);
    EXPECT_EQ(resoKnob()->getValue(), 0.1f);
    EXPECT_EQ(lamp()->getValue(), 1.0f);
}

} // namespace
