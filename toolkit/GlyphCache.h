// Text rasterised from the embedded typeface: the printable ASCII characters of one pixel size, each at
// four horizontal sub-pixel positions, made once per process and size on first use and then shared
// read-only, so drawing text allocates nothing.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct Glyph {
    int left = 0; // from the pen position to the coverage's first column
    int top = 0;  // from the baseline to the coverage's first row (negative: above it)
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage; // width x height, 0 to 255
};

class GlyphSet {
  public:
    static constexpr int kSubpixelSteps = 4;
    static constexpr char kFirst = ' ';
    static constexpr char kLast = '~';

    explicit GlyphSet(float pixelSize);

    // Characters outside printable ASCII are drawn as '?'.
    float advance(char c) const { return glyphAdvance[indexOf(c)]; }
    // `position` is the pen's x in pixels; the glyph for its fractional part.
    const Glyph& glyph(char c, float position) const;
    float getAscent() const { return ascent; }
    float getDescent() const { return descent; }

  private:
    static int indexOf(char c);

    static constexpr int kCount = kLast - kFirst + 1;
    float ascent = 0;
    float descent = 0;
    std::array<float, kCount> glyphAdvance{};
    std::vector<Glyph> glyphs; // kCount x kSubpixelSteps
};

// [GUI thread, any editor's] The glyphs of one pixel size, made on first request.
const GlyphSet& glyphSetFor(float pixelSize);
