// stb_truetype, compiled into this file alone with static linkage, so no symbol of it can meet another
// copy in the host's process.
#include "GlyphCache.h"

#include "EmbeddedFont.h"

#include <cmath>
#include <map>
#include <memory>
#include <mutex>

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb_truetype.h>

GlyphSet::GlyphSet(float pixelSize) : glyphs(static_cast<std::size_t>(kCount) * kSubpixelSteps) {
    stbtt_fontinfo font;
    const unsigned char* data = embeddedFontData();
    if (stbtt_InitFont(&font, data, stbtt_GetFontOffsetForIndex(data, 0)) == 0) {
        return;
    }
    const float scale = stbtt_ScaleForMappingEmToPixels(&font, pixelSize);
    int fontAscent = 0;
    int fontDescent = 0;
    int lineGap = 0;
    stbtt_GetFontVMetrics(&font, &fontAscent, &fontDescent, &lineGap);
    ascent = static_cast<float>(fontAscent) * scale;
    descent = static_cast<float>(fontDescent) * scale;

    for (int index = 0; index < kCount; ++index) {
        const int codepoint = kFirst + index;
        int advanceWidth = 0;
        int leftBearing = 0;
        stbtt_GetCodepointHMetrics(&font, codepoint, &advanceWidth, &leftBearing);
        glyphAdvance[index] = static_cast<float>(advanceWidth) * scale;
        for (int step = 0; step < kSubpixelSteps; ++step) {
            const float shift = static_cast<float>(step) / kSubpixelSteps;
            Glyph& g = glyphs[static_cast<std::size_t>(index) * kSubpixelSteps + step];
            int x0 = 0;
            int y0 = 0;
            int x1 = 0;
            int y1 = 0;
            stbtt_GetCodepointBitmapBoxSubpixel(&font, codepoint, scale, scale, shift, 0, &x0, &y0, &x1, &y1);
            g.left = x0;
            g.top = y0;
            g.width = x1 - x0;
            g.height = y1 - y0;
            if (g.width > 0 && g.height > 0) {
                g.coverage.resize(static_cast<std::size_t>(g.width) * g.height);
                stbtt_MakeCodepointBitmapSubpixel(&font, g.coverage.data(), g.width, g.height, g.width, scale,
                                                  scale, shift, 0, codepoint);
            }
        }
    }
}

int GlyphSet::indexOf(char c) {
    return (c >= kFirst && c <= kLast) ? c - kFirst : '?' - kFirst;
}

const Glyph& GlyphSet::glyph(char c, float position) const {
    const float fraction = position - std::floor(position);
    const int step = static_cast<int>(fraction * kSubpixelSteps) % kSubpixelSteps;
    return glyphs[static_cast<std::size_t>(indexOf(c)) * kSubpixelSteps + step];
}

const GlyphSet& glyphSetFor(float pixelSize) {
    // Sizes are the fonts' own, but keep a nonsense one (NaN included) from keying the cache.
    if (!(pixelSize >= 1.0f && pixelSize <= 256.0f)) {
        pixelSize = 10.0f;
    }
    static std::mutex guard;
    static std::map<float, std::unique_ptr<GlyphSet>> sets;

    const std::lock_guard<std::mutex> lock(guard);
    std::unique_ptr<GlyphSet>& set = sets[pixelSize];
    if (!set) {
        set = std::make_unique<GlyphSet>(pixelSize);
    }
    return *set;
}
