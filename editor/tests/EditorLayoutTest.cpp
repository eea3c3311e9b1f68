// The window as it opens: size, the six controls with their places (resources/EditorLayout.h), tags,
// pictures, set-up and stacking, the lamp and read-out from the effect's values, and what close and
// reopen do.
#include "EditorFixture.h"

#include <typeinfo>

namespace {

using Layout = EditorFixture;

TEST_F(Layout, TheRectangleIsKnownBeforeAnyOpenAndTheTimerRunsSlowlyWhileClosed) {
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ((std::vector<int>{rect->top, rect->left, rect->bottom, rect->right}),
              (std::vector<int>{0, 0, kWindowRect.bottom, kWindowRect.right}));
    EXPECT_EQ(OffscreenPlatform::instance().runningTimerPeriods(), std::vector<uint32_t>{150});
    close();
    EXPECT_EQ(frame(), nullptr) << "closing a window never opened changes nothing";
    EXPECT_EQ(OffscreenPlatform::instance().runningTimerPeriods(), std::vector<uint32_t>{150});
}

TEST_F(Layout, OpenBuildsTheSixControlsAtTheirPlacesAboveTheBackground) {
    set(kDrive, 0.25f);
    set(kReso, 0.75f);
    const int framesBefore = OffscreenPlatform::instance().frameCount();
    open();
    EXPECT_EQ(window->getParent(), &parentWindow);
    EXPECT_EQ(frame()->getViewSize(), rectOf(kWindowRect));
    ASSERT_NE(frame()->getBackground(), nullptr);
    EXPECT_EQ(frame()->getBackground()->getResourceDescription().id, kBackgroundPicture.id);
    struct Expected {
        CControl* control;
        const std::type_info& type;
        LayoutRect rect;
        int32_t picture; // 0: none
        bool mouse;
        float value;
        float defaultValue;
    };
    const Expected controls[] = {
        {label(), typeid(CTextLabel), kReadOutRect, 0, true, 0.0f, 0.5f},
        {logo(), typeid(CKickButton), kLogoRect, 0, true, 0.0f, 0.5f},
        {lamp(), typeid(COnOffButton), kLampRect, kOnOffPicture.id, false, 0.0f, 0.5f},
        {mainKnob(), typeid(CKnob), kMainKnobRect, kKnobPicture.id, true, 0.5f, 0.5f},
        {resoKnob(), typeid(CAnimKnob), kResoKnobRect, kSmallKnobPicture.id, true, 0.75f, 0.5f},
        {driveKnob(), typeid(CAnimKnob), kDriveKnobRect, kSmallKnobPicture.id, true, 0.25f, 0.0f},
    };
    EXPECT_EQ(frame()->getNbViews(), 6);
    for (const Expected& want : controls) {
        SCOPED_TRACE(&want - controls);
        ASSERT_NE(want.control, nullptr);
        EXPECT_EQ(typeid(*want.control), want.type);
        EXPECT_EQ(want.control->getViewSize(), rectOf(want.rect));
        EXPECT_EQ(want.control->getBackground() != nullptr
                      ? want.control->getBackground()->getResourceDescription().id
                      : 0,
                  want.picture);
        EXPECT_EQ(want.control->getMouseEnabled(), want.mouse);
        EXPECT_EQ(want.control->getValue(), want.value);
        EXPECT_EQ(want.control->getDefaultValue(), want.defaultValue);
    }
    // Where the main knob overlaps the lamp and the logo button, it lies above them.
    for (const LayoutRect& below : {kLampRect, kLogoRect}) {
        CRect overlap = rectOf(below);
        overlap.bound(rectOf(kMainKnobRect));
        ASSERT_FALSE(overlap.isEmpty());
        EXPECT_EQ(frame()->getViewAt(overlap.getCenter(), false), mainKnob());
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
