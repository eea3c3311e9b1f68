// The whole window, pixel for pixel against committed pictures, in the states a user sees most, at the
// display scales of today's screens (VELMORA_UPDATE_GOLDEN=1 rewrites them; the Windows lane compares the
// same files).
#include "EditorFixture.h"
#include "GoldenPicture.h"

namespace {

const std::string kGoldenDir = VELMORA_EDITOR_GOLDEN_DIR;

using Golden = EditorFixture;

TEST_F(Golden, TheWindowLooksAsItsPicturesShow) {
    open();
    EXPECT_EQ(compareWithGolden(frame()->renderAll(), kGoldenDir + "/editor-default.png"), "");

    // 60 px down from the knob's centre: 0.5 - 60 / 200.
    const CPoint knob = centreOf(kMainKnobRect);
    window->mouseDown(knob, kLButton);
    window->mouseMoved(CPoint(knob).offset(0, 60), kLButton);
    window->mouseUp(CPoint(knob).offset(0, 60), 0);
    ASSERT_FLOAT_EQ(get(kKnob), 0.2f);
    window->paint();
    OffscreenPlatform::instance().advance(50);
    const CPixelBuffer repainted = window->paint();
    EXPECT_EQ(repainted.data(), frame()->renderAll().data()) << "the repaints after a drag miss nothing";
    EXPECT_EQ(compareWithGolden(repainted, kGoldenDir + "/editor-knob-0.2.png"), "");

    set(kKnob, 0.45f);
    EXPECT_EQ(compareWithGolden(frame()->renderAll(), kGoldenDir + "/editor-knob-0.45.png"), "");

    set(kKnob, 1.0f);
    set(kDrive, 1.0f);
    set(kReso, 0.0f);
    EXPECT_EQ(compareWithGolden(frame()->renderAll(), kGoldenDir + "/editor-high-pass-drive-1-reso-0.png"),
              "");
}

// Sharp from the set drawn at twice the size at 2x, averaged down from it at 1.5x; a drag covers the
// scale's times as many pixels for the same change.
TEST_F(Golden, AtAHostsScaleTheWindowLooksAsItsPicturesShow) {
    for (const float scale : {1.5f, 2.0f}) {
        const std::string suffix = scale == 2.0f ? "-2x.png" : "-1.5x.png";
        SCOPED_TRACE(suffix);
        ASSERT_EQ(requestScale(scale), 1);
        set(kKnob, 0.5f);
        open();
        EXPECT_EQ(compareWithGolden(frame()->renderAll(), kGoldenDir + "/editor-default" + suffix), "");

        const CPoint knob(centreOf(kMainKnobRect).x * scale, centreOf(kMainKnobRect).y * scale);
        window->mouseDown(knob, kLButton);
        window->mouseMoved(CPoint(knob).offset(0, 60 * scale), kLButton);
        window->mouseUp(CPoint(knob).offset(0, 60 * scale), 0);
        ASSERT_FLOAT_EQ(get(kKnob), 0.2f);
        window->paint();
        OffscreenPlatform::instance().advance(50);
        const CPixelBuffer repainted = window->paint();
        EXPECT_EQ(repainted.data(), frame()->renderAll().data()) << "the repaints after a drag miss nothing";
        EXPECT_EQ(compareWithGolden(repainted, kGoldenDir + "/editor-knob-0.2" + suffix), "");
        close();
    }
}

} // namespace
