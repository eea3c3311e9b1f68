// The PNG writer stores cairo's premultiplied pixels as straight RGBA, four channels even when opaque.
#include "Canvas.h"

#include <stb/stb_image.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

struct PixelCase {
    const char* what;
    double r, g, b, a;
    int expected[4];
};

TEST(PngFile, WritesStraightRgbaForOpaqueTranslucentAndClearPixels) {
    const PixelCase cases[] = {
        {"opaque", 0.2, 0.4, 0.6, 1.0, {51, 102, 153, 255}},
        {"translucent", 1.0, 0.5, 0.0, 0.5, {255, 128, 0, 128}},
        {"faint", 0.0, 0.0, 1.0, 0.1, {0, 0, 255, 26}},
        {"clear", 0.7, 0.7, 0.7, 0.0, {0, 0, 0, 0}},
    };
    constexpr int count = sizeof cases / sizeof cases[0];
    artwork::Canvas canvas(count, 1);
    cairo_t* cr = canvas.context();
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    for (int x = 0; x < count; ++x) {
        cairo_set_source_rgba(cr, cases[x].r, cases[x].g, cases[x].b, cases[x].a);
        cairo_rectangle(cr, x, 0, 1, 1);
        cairo_fill(cr);
    }
    const std::string path = std::string(SCRATCH_DIR) + "/png-file-test.png";
    canvas.writePng(path);

    int width = 0;
    int height = 0;
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
    std::remove(path.c_str());
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, count);
    EXPECT_EQ(channels, 4);
    for (int x = 0; x < count; ++x) {
        SCOPED_TRACE(cases[x].what);
        for (int channel = 0; channel < 4; ++channel) {
            EXPECT_NEAR(pixels[4 * x + channel], cases[x].expected[channel], 1) << "channel " << channel;
        }
    }
    stbi_image_free(pixels);
}

TEST(PngFile, ReportsAFolderThatCannotBeWritten) {
    artwork::Canvas canvas(1, 1);
    EXPECT_THROW(canvas.writePng(std::string(SCRATCH_DIR) + "/no-such-folder/picture.png"), std::exception);
}

} // namespace
