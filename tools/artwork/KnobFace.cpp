#include "KnobOutline.h"
#include "Layout.h"
#include "Lettering.h"
#include "Paint.h"
#include "Pictures.h"

#include <cmath>

namespace artwork {

namespace {

constexpr double centre = 0.5 * kKnobPicture.width;
constexpr double outer = mainKnobRadius;
constexpr double capRadius = 36.0; // inside it the face is the knob's cap, outside the grip ring

void paintGripRing(cairo_t* cr) {
    cairo_pattern_t* bevel =
        cairo_pattern_create_linear(centre - outer, centre - outer, centre + outer, centre + outer);
    addStop(bevel, 0.0, Colour{0.74, 0.75, 0.77});
    addStop(bevel, 0.5, Colour{0.46, 0.47, 0.49});
    addStop(bevel, 1.0, Colour{0.24, 0.245, 0.26});
    useGradient(cr, bevel);
    knobOutline(cr, centre, centre, outer - 0.5);
    cairo_fill(cr);

    // Fine grip ridges across the ring.
    cairo_save(cr);
    knobOutline(cr, centre, centre, outer - 1.5);
    cairo_clip(cr);
    constexpr int ridges = 72;
    cairo_set_line_width(cr, 0.7);
    for (int ridge = 0; ridge < ridges; ++ridge) {
        const double angle = 2.0 * pi * ridge / ridges;
        const double dx = std::cos(angle);
        const double dy = std::sin(angle);
        cairo_move_to(cr, centre + (capRadius + 1.5) * dx, centre + (capRadius + 1.5) * dy);
        cairo_line_to(cr, centre + (outer - 1.5) * dx, centre + (outer - 1.5) * dy);
        setColour(cr, ridge % 2 == 0 ? palette::black : palette::white, 0.12);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

// The cap: a dished disc whose shading runs against the ring's, so that the ring reads as a raised rim.
void paintCap(cairo_t* cr) {
    cairo_save(cr);
    knobOutline(cr, centre, centre, capRadius + 0.5);
    cairo_clip(cr);
    cairo_pattern_t* dish =
        cairo_pattern_create_radial(centre - 12.0, centre - 14.0, 2.0, centre, centre, capRadius);
    addStop(dish, 0.0, Colour{0.60, 0.61, 0.63});
    addStop(dish, 1.0, Colour{0.38, 0.385, 0.40});
    useGradient(cr, dish);
    cairo_arc(cr, centre, centre, capRadius, 0.0, 2.0 * pi);
    cairo_fill(cr);

    cairo_set_line_width(cr, 1.0);
    cairo_pattern_t* edge = cairo_pattern_create_linear(centre - capRadius, centre - capRadius,
                                                        centre + capRadius, centre + capRadius);
    addStop(edge, 0.0, palette::black, 0.45);
    addStop(edge, 1.0, palette::white, 0.45);
    useGradient(cr, edge);
    cairo_arc(cr, centre, centre, capRadius, 0.0, 2.0 * pi);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// A fine dark edge all round, the knob's silhouette against the panel and the lamp.
void paintEdge(cairo_t* cr) {
    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::black, 0.7);
    knobOutline(cr, centre, centre, outer - 0.5);
    cairo_stroke(cr);
}

// Low on each side of the cap, just above the wedge, where the pointer only passes on its way to an end.
void paintLegends(cairo_t* cr) {
    selectFont(cr, Face::Bold, 8.0);
    constexpr double legendRadius = 27.0;
    constexpr double belowLevel = 0.36; // radians under the horizontal
    constexpr double halfCapHeight = 3.0;
    const double x = legendRadius * std::cos(belowLevel);
    const double baseline = centre + legendRadius * std::sin(belowLevel) + halfCapHeight;
    inscribe(cr, "LP", centre - x, baseline, 0.5, ink::engraved);
    inscribe(cr, "HP", centre + x, baseline, 0.5, ink::engraved);
}

} // namespace

void paintKnobFace(cairo_t* cr) {
    paintGripRing(cr);
    paintCap(cr);
    paintEdge(cr);
    paintLegends(cr);
}

} // namespace artwork
