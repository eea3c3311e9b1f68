// Every gesture on every control, through the offscreen platform as a window system would deliver it:
// values, clamping, zoom, default values, wheel, keys, and the begin/end bracket around each.
#include "CAnimKnob.h"
#include "CBitmap.h"
#include "CFrame.h"
#include "CKickButton.h"
#include "COnOffButton.h"
#include "GestureLog.h"
#include "OffscreenPlatform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using Events = std::vector<std::string>;

struct Drag {
    const char* name;
    float start;
    float zoomFactor;
    CButtonState modifiers;
    CPoint to; // from (60, 60)
    float expected;
};

class ControlGesture : public ::testing::Test {
  protected:
    void SetUp() override {
        frame = new CFrame(CRect(0, 0, 171, 149), nullptr, &log);
        window = static_cast<OffscreenFrame*>(frame->getPlatformFrame());
    }
    void TearDown() override { frame->forget(); }

    template <typename Control> Control* add(Control* control) {
        frame->addView(control);
        return control;
    }
    CKnob* knob(float value, int32_t tag = 0) {
        CKnob* k = add(new CKnob(CRect(20, 20, 110, 110), &log, tag, nullptr, nullptr));
        k->setValue(value);
        return k;
    }

    GestureLog log;
    CFrame* frame = nullptr;
    OffscreenFrame* window = nullptr;
};

TEST_F(ControlGesture, LinearDragCountsBothDirectionsOverTwoHundredPixelsTimesTheZoomWithShift) {
    const Drag drags[] = {
        {"200 px up covers the range", 0.0f, 1.5f, 0, {60, -140}, 1.0f},
        {"100 right and 100 up", 0.0f, 1.5f, 0, {160, -40}, 1.0f},
        {"50 px down", 0.5f, 1.5f, 0, {60, 110}, 0.25f},
        {"50 px left", 0.5f, 1.5f, 0, {10, 60}, 0.25f},
        {"beyond the top stays at 1", 0.5f, 1.5f, 0, {60, -400}, 1.0f},
        {"beyond the bottom stays at 0", 0.5f, 1.5f, 0, {60, 400}, 0.0f},
        {"Shift with the default zoom 1.5: 300 px", 0.0f, 1.5f, kShift, {60, -90}, 0.5f},
        {"Shift with zoom 400: 80000 px", 0.0f, 400.0f, kShift, {60, -140}, 0.0025f},
        {"a value set by code outside the range is pulled in", 7.0f, 1.5f, 0, {60, 50}, 1.0f},
        {"NaN set by code becomes the minimum first", NAN, 1.5f, 0, {60, 40}, 0.1f},
    };
    for (const Drag& drag : drags) {
        SCOPED_TRACE(drag.name);
        CKnob* k = knob(drag.start);
        k->setZoomFactor(drag.zoomFactor);
        log.take();
        window->mouseDown(CPoint(60, 60), kLButton | drag.modifiers);
        window->mouseMoved(drag.to, kLButton | drag.modifiers);
        window->mouseUp(drag.to, drag.modifiers);
        EXPECT_NEAR(k->getValue(), drag.expected, 1e-6);
        const Events events = log.take();
        ASSERT_EQ(events.size(), 3u);
        EXPECT_EQ(events.front(), "begin 0");
        EXPECT_EQ(events.back(), "end 0");
        frame->removeAll(true);
    }
}

TEST_F(ControlGesture, ADragReportsEveryChangeInsideOneBracketAndNothingWhenTheValueStays) {
    CKnob* k = knob(0.5f, 2);
    window->mouseDown(CPoint(60, 60), kLButton);
    window->mouseMoved(CPoint(60, 40), kLButton);
    window->mouseMoved(CPoint(60, 40), kLButton);
    window->mouseMoved(CPoint(80, 40), kLButton);
    window->mouseUp(CPoint(80, 40), 0);
    EXPECT_EQ(log.take(), (Events{"begin 2", "value 2 0.6", "value 2 0.7", "end 2"}));
    // Pressing Shift mid-drag slows down from where the pointer is, without a jump.
    window->mouseDown(CPoint(60, 60), kLButton);
    window->mouseMoved(CPoint(60, 40), kLButton | kShift);
    window->mouseMoved(CPoint(60, 10), kLButton | kShift);
    window->mouseUp(CPoint(60, 10), 0);
    EXPECT_NEAR(k->getValue(), 0.7f + 30.0f / 300.0f, 1e-6);
}

TEST_F(ControlGesture, ControlClickSetsTheDefaultValueWithoutADrag) {
    CKnob* k = knob(0.9f);
    k->setDefaultValue(0.5f);
    window->mouseDown(CPoint(60, 60), kLButton | kControl);
    window->mouseMoved(CPoint(60, 0), kLButton | kControl);
    window->mouseUp(CPoint(60, 0), kControl);
    EXPECT_EQ(k->getValue(), 0.5f);
    EXPECT_EQ(log.take(), (Events{"begin 0", "value 0 0.5", "end 0"}));
}

TEST_F(ControlGesture, WheelAndArrowKeysStepATenthOrAHundredthWithShift) {
    CKnob* k = knob(0.5f);
    VstKeyCode up{0, VKEY_UP, 0};
    EXPECT_EQ(frame->onKeyDown(up), -1) << "keys need the focus a click gives";
    window->wheel(CPoint(60, 60), 1.0f);
    EXPECT_NEAR(k->getValue(), 0.6f, 1e-6);
    window->wheel(CPoint(60, 60), -2.0f, kShift);
    EXPECT_NEAR(k->getValue(), 0.58f, 1e-6);
    EXPECT_FALSE(window->wheel(CPoint(150, 140), 1.0f)) << "no knob there";

    window->mouseDown(CPoint(60, 60), kLButton);
    window->mouseUp(CPoint(60, 60), 0);
    log.take();
    struct Key {
        unsigned char virt;
        unsigned char modifier;
        float expected;
    };
    const Key keys[] = {{VKEY_UP, 0, 0.68f},   {VKEY_RIGHT, 0, 0.78f}, {VKEY_DOWN, MODIFIER_SHIFT, 0.77f},
                        {VKEY_LEFT, 0, 0.67f}, {VKEY_UP, 0, 0.77f},    {VKEY_UP, 0, 0.87f},
                        {VKEY_UP, 0, 0.97f},   {VKEY_UP, 0, 1.0f}};
    for (const Key& key : keys) {
        VstKeyCode code{0, key.virt, key.modifier};
        EXPECT_EQ(frame->onKeyDown(code), 1);
        EXPECT_NEAR(k->getValue(), key.expected, 1e-5);
    }
    VstKeyCode up2{0, VKEY_UP, 0};
    frame->onKeyDown(up2);
    const Events atTheTop = log.take();
    EXPECT_EQ(atTheTop.back(), "end 0");
    EXPECT_EQ(atTheTop[atTheTop.size() - 2], "begin 0") << "a step at the limit changes nothing";
    VstKeyCode escape{0, VKEY_ESCAPE, 0};
    EXPECT_EQ(frame->onKeyDown(escape), -1);
}

TEST_F(ControlGesture, AnimatedKnobShowsTheNearestOfItsPictures) {
    CAnimKnob strip(CRect(0, 0, 32, 32), nullptr, 1, 120, 32, nullptr);
    const std::pair<float, int32_t> cases[] = {{0.0f, 0},   {1.0f, 119},    {0.5f, 60},   {0.25f, 30},
                                               {0.004f, 0}, {0.005f, 1},    {-3.0f, 0},   {NAN, 0},
                                               {5.0f, 119}, {0.9958f, 119}, {0.995f, 118}};
    for (const auto& [value, frameIndex] : cases) {
        EXPECT_EQ(strip.frameIndex(value), frameIndex) << value;
    }
}

TEST_F(ControlGesture, KickButtonReportsOnlyAtTheReleaseOneThenZeroInsideZeroOutside) {
    CKickButton* kick = add(new CKickButton(CRect(120, 0, 171, 33), &log, 6, 32, nullptr));
    window->mouseDown(CPoint(130, 10), kLButton);
    EXPECT_EQ(kick->getValue(), 1.0f);
    window->mouseMoved(CPoint(10, 100), kLButton);
    EXPECT_EQ(kick->getValue(), 0.0f);
    window->mouseMoved(CPoint(150, 20), kLButton);
    EXPECT_EQ(kick->getValue(), 1.0f);
    window->mouseUp(CPoint(150, 20), 0);
    EXPECT_EQ(log.take(), (Events{"begin 6", "value 6 1", "value 6 0", "end 6"}));

    window->mouseDown(CPoint(130, 10), kLButton);
    window->mouseUp(CPoint(10, 100), 0);
    EXPECT_EQ(log.take(), (Events{"begin 6", "value 6 0", "end 6"}));
}

TEST_F(ControlGesture, LaterViewsTakeTheClicksAndDisabledViewsAreLookedThrough) {
    auto* lamp = new CBitmap(CResourceDescription(129));
    COnOffButton* below = add(new COnOffButton(CRect(57, 81, 112, 138), &log, 4, lamp));
    lamp->forget();
    CKnob* above = add(new CKnob(CRect(40, 18, 130, 108), &log, 0, nullptr, nullptr));
    window->mouseDown(CPoint(80, 100), kLButton);
    window->mouseUp(CPoint(80, 100), 0);
    EXPECT_EQ(log.take(), (Events{"begin 0", "end 0"})) << "the overlap belongs to the later view";

    window->mouseDown(CPoint(80, 120), kLButton);
    EXPECT_EQ(below->getValue(), 1.0f);
    EXPECT_EQ(log.take(), (Events{"begin 4", "value 4 1", "end 4"})) << "a click toggles";

    below->setMouseEnabled(false);
    window->mouseDown(CPoint(80, 120), kLButton);
    window->mouseUp(CPoint(80, 120), 0);
    EXPECT_TRUE(log.take().empty());
    EXPECT_EQ(below->getValue(), 1.0f);
    above->setMouseEnabled(false);
    window->mouseDown(CPoint(80, 100), kLButton);
    EXPECT_TRUE(log.take().empty()) << "nothing takes mouse input there any more";
}

TEST_F(ControlGesture, ValuesFromCodeAreStoredAsGivenAndAGestureCutShortIsEnded) {
    CKnob* k = knob(0.0f);
    for (float v : {1.5f, -2.0f, 0.25f}) {
        k->setValue(v);
        EXPECT_EQ(k->getValue(), v);
    }
    k->setValue(NAN);
    EXPECT_TRUE(std::isnan(k->getValue()));
    window->mouseDown(CPoint(60, 60), kLButton);
    log.take();
    frame->removeAll(true);
    EXPECT_EQ(log.take(), (Events{"end 0"})) << "the host never sees a begin without its end";
}

} // namespace
