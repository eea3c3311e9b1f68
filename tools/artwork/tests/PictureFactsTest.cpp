// The facts about the committed pictures that the toolkit and the editor build on: their pixel layout,
// their images, where they are opaque or let the panel show through, and that every larger set shows the
// same pictures (their sizes: the toolkit's PictureTest).
#include "EditorPictures.h"

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

constexpr int smallKnobFrame = kSmallKnobPicture.width;
constexpr int smallKnobFrames = kSmallKnobPicture.frames;
constexpr int lampHeight = kOnOffPicture.height;
constexpr double pi = 3.14159265358979323846;

struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels{nullptr, stbi_image_free};

    // The committed file of a scale's set.
    explicit Image(const EditorPicture& picture, const PictureScale& scale = kPictureScales[0]) {
        const std::string path = std::string(RESOURCES_DIR) + "/" + picture.stem + scale.suffix + ".png";
        pixels.reset(stbi_load(path.c_str(), &width, &height, &channels, 4));
    }
    const unsigned char* at(int x, int y) const { return pixels.get() + 4 * (y * width + x); }
    int alpha(int x, int y) const { return at(x, y)[3]; }
    // Light that the pixel adds over a black panel: its colour weighted by its coverage.
    double light(int x, int y) const {
        const unsigned char* p = at(x, y);
        return (p[0] + p[1] + p[2]) * p[3] / (3.0 * 255.0);
    }
    // A channel premultiplied by alpha, 0 to 255.
    double premultiplied(int x, int y, int channel) const {
        const unsigned char* p = at(x, y);
        return channel == 3 ? p[3] : p[channel] * p[3] / 255.0;
    }
};

TEST(PictureFacts, EveryPictureIsStoredAsRgba) {
    for (const PictureScale& scale : kPictureScales) {
        for (const EditorPicture& picture : kEditorPictures) {
            SCOPED_TRACE(std::string(picture.stem) + scale.suffix);
            const Image image(picture, scale);
            ASSERT_NE(image.pixels, nullptr) << stbi_failure_reason();
            EXPECT_EQ(image.channels, 4);
        }
    }
}

// A larger set averaged down to scale 1 (premultiplied, box by box) is the scale-1 picture but for what
// rasterising at another size changes: edges' anti-aliasing and the text's hinting. A painter that drew
// something in device pixels, or forgot a part at one scale, leaves far more.
TEST(PictureFacts, EveryLargerSetShowsTheSamePictures) {
    for (const PictureScale& scale : kPictureScales) {
        if (scale.factor == 1) {
            continue;
        }
        for (const EditorPicture& picture : kEditorPictures) {
            SCOPED_TRACE(std::string(picture.stem) + scale.suffix);
            const Image small(picture);
            const Image large(picture, scale);
            ASSERT_NE(small.pixels, nullptr);
            ASSERT_NE(large.pixels, nullptr);
            const int f = scale.factor;
            double totalDifference = 0.0;
            for (int y = 0; y < small.height; ++y) {
                for (int x = 0; x < small.width; ++x) {
                    for (int channel = 0; channel < 4; ++channel) {
                        double sum = 0.0;
                        for (int dy = 0; dy < f; ++dy) {
                            for (int dx = 0; dx < f; ++dx) {
                                sum += large.premultiplied(f * x + dx, f * y + dy, channel);
                            }
                        }
                        totalDifference += std::abs(sum / (f * f) - small.premultiplied(x, y, channel));
                    }
                }
            }
            // Measured: 0.56 (small knob) to 1.61 (the lamp's lettering) of 255 at 2x.
            EXPECT_LT(totalDifference / (4.0 * small.width * small.height), 2.5);
        }
    }
}

struct AlphaCase {
    const char* where;
    int x;
    int y;
    bool opaque;
};

TEST(PictureFacts, KnobFaceOpaqueDiscWithWedgeAndCornersClear) {
    const Image knob(kKnobPicture);
    ASSERT_NE(knob.pixels, nullptr);
    const AlphaCase cases[] = {
        {"centre", 45, 45, true},
        {"left of the disc", 3, 45, true},
        {"top of the disc", 45, 3, true},
        {"right of the disc", 86, 45, true},
        {"wedge", 45, 85, false},
        {"wedge near centre", 45, 60, false},
        {"top left corner", 0, 0, false},
        {"top right corner", 89, 0, false},
        {"bottom left corner", 0, 89, false},
        {"bottom right corner", 89, 89, false},
    };
    for (const AlphaCase& c : cases) {
        SCOPED_TRACE(c.where);
        if (c.opaque) {
            EXPECT_EQ(knob.alpha(c.x, c.y), 255);
        } else {
            EXPECT_EQ(knob.alpha(c.x, c.y), 0);
        }
    }
}

TEST(PictureFacts, BackgroundOpaqueEverywhere) {
    const Image background(kBackgroundPicture);
    ASSERT_NE(background.pixels, nullptr);
    int clearPixels = 0;
    for (int y = 0; y < background.height; ++y) {
        for (int x = 0; x < background.width; ++x) {
            clearPixels += background.alpha(x, y) != 255 ? 1 : 0;
        }
    }
    EXPECT_EQ(clearPixels, 0);
}

bool isValueBlue(const unsigned char* p) {
    return p[3] > 128 && p[2] > 200 && p[0] < 120;
}
bool isPointerWhite(const unsigned char* p) {
    return p[3] == 255 && p[0] > 235 && p[1] > 235 && p[2] > 235;
}

TEST(PictureFacts, SmallKnobFramesClearAtCornersWithArcGrowingFromNone) {
    const Image strip(kSmallKnobPicture);
    ASSERT_NE(strip.pixels, nullptr);
    constexpr int last = smallKnobFrame - 1;
    int previousBlue = 0;
    for (int frame = 0; frame < smallKnobFrames; ++frame) {
        const int top = frame * smallKnobFrame;
        SCOPED_TRACE("frame " + std::to_string(frame));
        EXPECT_EQ(strip.alpha(0, top), 0);
        EXPECT_EQ(strip.alpha(last, top), 0);
        EXPECT_EQ(strip.alpha(0, top + last), 0);
        EXPECT_EQ(strip.alpha(last, top + last), 0);
        EXPECT_EQ(strip.alpha(smallKnobFrame / 2, top + smallKnobFrame / 2), 255) << "the knob's cap";
        int blue = 0;
        for (int y = top; y < top + smallKnobFrame; ++y) {
            for (int x = 0; x < smallKnobFrame; ++x) {
                blue += isValueBlue(strip.at(x, y)) ? 1 : 0;
            }
        }
        if (frame == 0) {
            EXPECT_EQ(blue, 0) << "no arc at the minimum";
        }
        // A pixel or two of give: cairo approximates each arc length by its own curves.
        EXPECT_GE(blue + 2, previousBlue) << "the arc never shrinks";
        previousBlue = blue;
    }
    EXPECT_GT(previousBlue, 100) << "a full arc at the maximum";
}

struct PointerCase {
    int frame;
    double angle; // clockwise from the positive x axis, y pointing down
};

TEST(PictureFacts, SmallKnobPointerTurnsClockwiseFromLowerLeftToLowerRight) {
    const Image strip(kSmallKnobPicture);
    ASSERT_NE(strip.pixels, nullptr);
    const PointerCase cases[] = {
        {0, 0.75 * pi},
        {40, 0.75 * pi + 1.5 * pi * 40 / 119},
        {60, 0.75 * pi + 1.5 * pi * 60 / 119},
        {80, 0.75 * pi + 1.5 * pi * 80 / 119},
        {119, 2.25 * pi},
    };
    for (const PointerCase& c : cases) {
        SCOPED_TRACE("frame " + std::to_string(c.frame));
        double sumX = 0.0;
        double sumY = 0.0;
        for (int y = 0; y < smallKnobFrame; ++y) {
            for (int x = 0; x < smallKnobFrame; ++x) {
                if (isPointerWhite(strip.at(x, c.frame * smallKnobFrame + y))) {
                    sumX += x + 0.5 - smallKnobFrame / 2;
                    sumY += y + 0.5 - smallKnobFrame / 2;
                }
            }
        }
        ASSERT_GT(std::hypot(sumX, sumY), 0.0) << "no pointer";
        EXPECT_NEAR(std::remainder(std::atan2(sumY, sumX) - c.angle, 2.0 * pi), 0.0, 0.2);
    }
}

TEST(PictureFacts, LampLitHalfGlowsBrighterThanUnlitCentredInTheVisibleRows) {
    const Image lamp(kOnOffPicture);
    ASSERT_NE(lamp.pixels, nullptr);
    constexpr int firstLightRow = 15;
    constexpr int lastLightRow = 50;
    double unlit = 0.0;
    double lit = 0.0;
    double total = 0.0;
    double litX = 0.0;
    double litY = 0.0;
    for (int y = 0; y < lampHeight; ++y) {
        for (int x = 0; x < lamp.width; ++x) {
            const double light = lamp.light(x, lampHeight + y);
            total += light;
            litX += light * (x + 0.5);
            litY += light * (y + 0.5);
            if (y >= firstLightRow && y <= lastLightRow) {
                unlit += lamp.light(x, y);
                lit += light;
            }
        }
    }
    EXPECT_GT(lit, 2.0 * unlit);
    EXPECT_NEAR(litX / total, 0.5 * lamp.width, 1.0) << "centred on the middle column";
    EXPECT_GT(litY / total, firstLightRow + 5);
    EXPECT_LT(litY / total, lastLightRow - 5);
}

} // namespace
