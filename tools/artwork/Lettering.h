// The panel's lettering: Liberation Sans, chosen by family name, with fixed rendering options so that
// every machine draws the same pixels, and capitals spread a little apart as on engraved hardware.
#pragma once

#include "Paint.h"

#include <cairo.h>

namespace artwork {

enum class Face { Regular, Bold, BoldItalic };

// Selects the face at `size` pixels; throws ArtworkError if the system substitutes another family.
void selectFont(cairo_t* cr, Face face, double size);

// Width of `text` in the current font with `spacing` extra pixels between letters.
double spacedWidth(cairo_t* cr, const char* text, double spacing);

// Letters and the relief one pixel below them: light letters over a dark relief stand out of a dark
// panel; dark letters over a light relief read as cut into light metal.
struct Ink {
    Colour letters;
    Colour relief;
    double reliefAlpha;
};

namespace ink {
constexpr Ink printed{palette::legend, palette::black, 0.55};
constexpr Ink printedDim{palette::legendDim, palette::black, 0.55};
constexpr Ink engraved{Colour{0.17, 0.175, 0.19}, palette::white, 0.35};
} // namespace ink

// Draws `text` centred on `centreX` with its baseline at `baseline`, `spacing` pixels between letters.
void inscribe(cairo_t* cr, const char* text, double centreX, double baseline, double spacing, const Ink& ink);

} // namespace artwork
