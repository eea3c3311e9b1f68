// Colours and the small drawing helpers that every picture uses.
#pragma once

#include <cairo.h>

namespace artwork {

struct Colour {
    double r;
    double g;
    double b;
};

// The panel's palette: one cool dark grey family, aluminium for rims and lettering, a blue for values,
// an amber for the lamp.
namespace palette {
constexpr Colour black{0.0, 0.0, 0.0};
constexpr Colour white{1.0, 1.0, 1.0};
constexpr Colour panelTop{0.215, 0.224, 0.243};
constexpr Colour panelBottom{0.118, 0.123, 0.135};
constexpr Colour rimLight{0.86, 0.87, 0.89};
constexpr Colour rimShade{0.42, 0.43, 0.46};
constexpr Colour legend{0.80, 0.82, 0.85};
constexpr Colour legendDim{0.56, 0.58, 0.62};
constexpr Colour valueBlue{0.22, 0.58, 1.0};
constexpr Colour lampLit{1.0, 0.62, 0.22};
constexpr Colour lampLitCore{1.0, 0.90, 0.62};
constexpr Colour lampLitEdge{0.86, 0.30, 0.06};
constexpr Colour lampDark{0.20, 0.085, 0.05};
constexpr Colour lampDarkEdge{0.07, 0.03, 0.02};
} // namespace palette

void setColour(cairo_t* cr, Colour colour, double alpha = 1.0);
void addStop(cairo_pattern_t* pattern, double offset, Colour colour, double alpha = 1.0);
// Paints `pattern` as the source of the next fill or stroke and releases it.
void useGradient(cairo_t* cr, cairo_pattern_t* pattern);

void roundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius);

// A soft shadow under a filled shape: the current path stroked in widening, fading bands, then cleared.
void softShadow(cairo_t* cr, double reach, double darkness);

} // namespace artwork
