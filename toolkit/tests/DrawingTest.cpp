// What controls look like, pixel for pixel against committed golden pictures (VELMORA_UPDATE_GOLDEN=1
// rewrites them), and the drawing rules under them: exact pixel mixing, repaints clipped to what was
// invalidated, and what a display scale does to pictures, lines and frames.
#include "AreaFilter.h"
#include "CAnimKnob.h"
#include "CBitmap.h"
#include "CFrame.h"
#include "CKickButton.h"
#include "COnOffButton.h"
#include "CTextLabel.h"
#include "GoldenPicture.h"
#include "OffscreenPlatform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

namespace {

const std::string kGoldenDir = VELMORA_TOOLKIT_GOLDEN_DIR;

// Every control in the states worth seeing, on a plain black frame: main knob faces at 0, 0.25, 0.5,
// 0.75, 1; small knobs at 0, 0.5, 1; the lamp unlit and lit; read-outs; an invisible kick button.
struct ControlSheet {
    CBitmap knobFace{CResourceDescription(130)};
    CBitmap smallKnob{CResourceDescription(131)};
    CBitmap lamp{CResourceDescription(129)};
    CFrame* frame = new CFrame(CRect(0, 0, 460, 170), nullptr, nullptr);
    CKnob* knobs[5] = {};

    ControlSheet() {
        const float values[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
        for (int i = 0; i < 5; ++i) {
            knobs[i] = new CKnob(CRect(0, 0, 90, 90).offset(92 * i, 0), nullptr, 0, &knobFace, nullptr);
            knobs[i]->setValue(values[i]);
            frame->addView(knobs[i]);
        }
        const float smallValues[] = {0.0f, 0.5f, 1.0f};
        for (int i = 0; i < 3; ++i) {
            auto* k =
                new CAnimKnob(CRect(0, 0, 32, 32).offset(4 + 36 * i, 100), nullptr, 1, 120, 32, &smallKnob);
            k->setValue(smallValues[i]);
            frame->addView(k);
        }
        for (int i = 0; i < 2; ++i) {
            auto* button = new COnOffButton(CRect(0, 0, 55, 57).offset(120 + 60 * i, 96), nullptr, 4, &lamp);
            button->setValue(static_cast<float>(i));
            frame->addView(button);
        }
        const char* texts[] = {"5000", "---", "80"};
        for (int i = 0; i < 3; ++i) {
            auto* label = new CTextLabel(CRect(0, 0, 34, 12).offset(250 + 40 * i, 110), texts[i]);
            label->setFont(kNormalFontSmaller);
            label->setHoriAlign(kCenterText);
            frame->addView(label);
        }
        frame->addView(new CKickButton(CRect(250, 130, 300, 160), nullptr, 6, 32, nullptr));
    }
    ~ControlSheet() { frame->forget(); }
};

TEST(ToolkitDrawing, ControlsLookAsTheGoldenPictureShows) {
    ControlSheet sheet;
    const std::string problem = compareWithGolden(sheet.frame->renderAll(), kGoldenDir + "/controls.png");
    EXPECT_EQ(problem, "");
}

TEST(ToolkitDrawing, ARepaintChangesOnlyWhatWasInvalidated) {
    ControlSheet sheet;
    auto* window = static_cast<OffscreenFrame*>(sheet.frame->getPlatformFrame());
    const CPixelBuffer before = sheet.frame->renderAll();
    sheet.knobs[2]->setValue(0.9f);
    sheet.frame->idle();
    EXPECT_EQ(window->getInvalidRect(), CRect(184, 0, 274, 90)) << "idle invalidates the dirty knob";
    window->paint();
    sheet.knobs[2]->setValue(0.3f);
    sheet.frame->invalidRect(CRect(184, 0, 229, 45));
    const CPixelBuffer after = window->paint();
    const CPixelBuffer fresh = sheet.frame->renderAll();
    int changed = 0;
    for (int y = 0; y < after.getHeight(); ++y) {
        for (int x = 0; x < after.getWidth(); ++x) {
            const bool inside = x >= 184 && x < 229 && y < 45;
            const bool knobArea = x >= 184 && x < 274 && y < 90;
            if (inside) {
                ASSERT_EQ(after.at(x, y), fresh.at(x, y)) << x << "," << y;
                changed += after.at(x, y) != before.at(x, y);
            } else if (!knobArea) {
                ASSERT_EQ(after.at(x, y), before.at(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(changed, 0) << "the new handle shows inside the repainted corner";
}

TEST(ToolkitDrawing, PixelMixingIsExact) {
    for (uint32_t x = 0; x <= 255 * 255; ++x) {
        ASSERT_EQ(pixel::div255(x), static_cast<uint32_t>(std::lround(x / 255.0))) << x;
    }
    // Opaque over anything is itself; transparent changes nothing; half of white over black is half grey.
    EXPECT_EQ(pixel::over(pixel::pack(10, 20, 30, 255), pixel::pack(1, 2, 3, 255)),
              pixel::pack(1, 2, 3, 255));
    EXPECT_EQ(pixel::over(pixel::pack(10, 20, 30, 255), 0u), pixel::pack(10, 20, 30, 255));
    EXPECT_EQ(pixel::over(pixel::pack(0, 0, 0, 255), pixel::premultiplied(CColor{255, 255, 255, 128})),
              pixel::pack(128, 128, 128, 255));
}

TEST(ToolkitDrawing, AreaFilteringKeepsEachImageToItselfAveragesExactlyAndIsClearOutsideThePicture) {
    // Two images of 4 x 4 stacked: opaque red above, translucent blue below.
    const uint32_t red = pixel::pack(255, 0, 0, 255);
    const uint32_t blue = pixel::premultiplied(CColor{0, 0, 255, 128});
    std::vector<uint32_t> strip(4 * 8, red);
    std::fill(strip.begin() + 16, strip.end(), blue);
    for (int size : {1, 2, 3, 5, 6, 7, 8, 11}) {
        SCOPED_TRACE(size);
        const AreaFilter lower(strip.data(), 4, 8, 0, 4, 4, 8, size, size);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                ASSERT_EQ(lower.at(x, y), blue) << x << "," << y << ": nothing of the image above";
            }
        }
    }
    // Halving: each pixel the rounded mean of its 2 x 2 box; a part hanging half off the picture's left
    // edge is clear there.
    const std::vector<uint32_t> box = {pixel::pack(0, 0, 0, 255), pixel::pack(255, 0, 0, 255),
                                       pixel::pack(1, 0, 0, 255), pixel::pack(0, 0, 0, 255)};
    EXPECT_EQ(AreaFilter(box.data(), 2, 2, 0, 0, 2, 2, 1, 1).at(0, 0), pixel::pack(64, 0, 0, 255));
    const AreaFilter offEdge(strip.data(), 4, 8, -4, 0, 4, 4, 2, 1);
    EXPECT_EQ(offEdge.at(0, 0), 0u);
    EXPECT_EQ(offEdge.at(1, 0), red);
    EXPECT_TRUE(AreaFilter(strip.data(), 4, 8, 0, 0, 0, 4, 3, 3).isEmpty());
}

// At scale s a line and a frame are round(s) pixels wide, and each of their pixels is blended once, so a
// translucent colour comes out even.
TEST(ToolkitDrawing, LinesAndFramesAtAScaleAreScalePixelsWideAndBlendedOnce) {
    const CColor translucent{255, 255, 255, 100};
    const uint32_t once = pixel::over(pixel::pack(0, 0, 0, 255), pixel::premultiplied(translucent));
    const struct {
        double scale;
        int width;
    } cases[] = {{1.0, 1}, {1.25, 1}, {1.5, 2}, {2.0, 2}, {3.0, 3}, {4.0, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        CPixelBuffer buffer(static_cast<int>(60 * c.scale), static_cast<int>(60 * c.scale));
        CDrawContext context(buffer, CRect(0, 0, buffer.getWidth(), buffer.getHeight()), c.scale);
        context.setFrameColor(translucent);
        context.drawLine(CPoint(5, 5), CPoint(25, 5));
        context.drawLine(CPoint(5, 10), CPoint(25, 22));
        context.drawLine(CPoint(50, 10), CPoint(30, 25));
        context.drawRect(CRect(10, 30, 40, 50));
        std::set<uint32_t> colours(buffer.data().begin(), buffer.data().end());
        EXPECT_EQ(colours, (std::set<uint32_t>{pixel::pack(0, 0, 0, 255), once}));
        const auto coveredBelow = [&](int x, int y) {
            int rows = 0;
            while (buffer.at(x, y + rows) == once) {
                ++rows;
            }
            return rows;
        };
        EXPECT_EQ(coveredBelow(scaledPixel(15, c.scale), scaledPixel(5, c.scale)), c.width) << "line";
        EXPECT_EQ(coveredBelow(scaledPixel(25, c.scale), scaledPixel(30, c.scale)), c.width) << "frame";
    }
}

} // namespace
