#include "Paint.h"

#include "Layout.h"

namespace artwork {

void setColour(cairo_t* cr, Colour colour, double alpha) {
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
}

void addStop(cairo_pattern_t* pattern, double offset, Colour colour, double alpha) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, colour.r, colour.g, colour.b, alpha);
}

void useGradient(cairo_t* cr, cairo_pattern_t* pattern) {
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

void roundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -0.5 * pi, 0.0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0.0, 0.5 * pi);
    cairo_arc(cr, x + radius, y + height - radius, radius, 0.5 * pi, pi);
    cairo_arc(cr, x + radius, y + radius, radius, pi, 1.5 * pi);
    cairo_close_path(cr);
}

void softShadow(cairo_t* cr, double reach, double darkness) {
    constexpr int bands = 6;
    setColour(cr, palette::black, darkness / bands);
    for (int band = bands; band >= 1; --band) {
        cairo_set_line_width(cr, 2.0 * reach * band / bands);
        cairo_stroke_preserve(cr);
    }
    cairo_fill(cr);
}

} // namespace artwork
