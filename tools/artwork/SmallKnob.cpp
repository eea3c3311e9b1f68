#include "Layout.h"
#include "Paint.h"
#include "Pictures.h"

#include <cmath>

namespace artwork {

namespace {

constexpr double centre = 0.5 * kSmallKnobPicture.width;
constexpr double arcRadius = 13.75;
constexpr double arcWidth = 2.5;
constexpr double skirtRadius = smallKnobRadius;
constexpr double capRadius = 8.5;

void paintTrack(cairo_t* cr) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_width(cr, arcWidth);
    setColour(cr, palette::black, 0.55);
    cairo_arc(cr, centre, centre, arcRadius, sweepStart, sweepAngle(1.0));
    cairo_stroke(cr);
}

void paintValueArc(cairo_t* cr, double value) {
    if (value <= 0.0) {
        return;
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_arc(cr, centre, centre, arcRadius, sweepStart, sweepAngle(value));
    cairo_set_line_width(cr, arcWidth + 2.0);
    setColour(cr, palette::valueBlue, 0.25);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, arcWidth - 0.5);
    setColour(cr, palette::valueBlue);
    cairo_stroke(cr);
}

// A dark skirt lit from above, and on it a grey cap lit from the top left with a fine dark edge.
void paintBody(cairo_t* cr) {
    cairo_arc(cr, centre, centre, skirtRadius, 0.0, 2.0 * pi);
    cairo_pattern_t* skirt =
        cairo_pattern_create_linear(0.0, centre - skirtRadius, 0.0, centre + skirtRadius);
    addStop(skirt, 0.0, Colour{0.30, 0.31, 0.33});
    addStop(skirt, 1.0, Colour{0.06, 0.06, 0.07});
    useGradient(cr, skirt);
    cairo_fill(cr);

    cairo_arc(cr, centre, centre, capRadius, 0.0, 2.0 * pi);
    cairo_pattern_t* cap =
        cairo_pattern_create_radial(centre - 3.0, centre - 4.0, 0.5, centre, centre, capRadius);
    addStop(cap, 0.0, Colour{0.56, 0.57, 0.59});
    addStop(cap, 1.0, Colour{0.22, 0.225, 0.24});
    useGradient(cr, cap);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.75);
    setColour(cr, palette::black, 0.6);
    cairo_stroke(cr);
}

void paintPointer(cairo_t* cr, double value) {
    const double angle = sweepAngle(value);
    const double dx = std::cos(angle);
    const double dy = std::sin(angle);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 1.75);
    setColour(cr, palette::white);
    cairo_move_to(cr, centre + 2.5 * dx, centre + 2.5 * dy);
    cairo_line_to(cr, centre + (skirtRadius - 0.5) * dx, centre + (skirtRadius - 0.5) * dy);
    cairo_stroke(cr);
}

} // namespace

void paintSmallKnobStrip(cairo_t* cr) {
    for (int frame = 0; frame < kSmallKnobPicture.frames; ++frame) {
        const double value = static_cast<double>(frame) / (kSmallKnobPicture.frames - 1);
        cairo_save(cr);
        cairo_translate(cr, 0.0, frame * kSmallKnobPicture.height);
        paintTrack(cr);
        paintValueArc(cr, value);
        paintBody(cr);
        paintPointer(cr, value);
        cairo_restore(cr);
    }
}

} // namespace artwork
