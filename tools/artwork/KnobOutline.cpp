#include "KnobOutline.h"

#include "Layout.h"

#include <cmath>

namespace artwork {

namespace {

// The wedge's point lies a little below the centre, so that the face stays solid where the pointer
// meets it and the pointer at either end rests on the face beside the cut, not on its edge.
constexpr double apexDrop = 3.0;
constexpr double apexRounding = 3.0;

} // namespace

void knobOutline(cairo_t* cr, double centreX, double centreY, double radius) {
    // Where a side of the wedge, leaving the apex at `angle`, meets the rim, as an angle about the centre.
    const auto rimAngle = [radius](double angle) {
        const double along = -apexDrop * std::sin(angle) +
                             std::sqrt(radius * radius - apexDrop * apexDrop * std::pow(std::cos(angle), 2));
        return std::atan2(apexDrop + along * std::sin(angle), along * std::cos(angle));
    };
    const double apexY = centreY + apexDrop;
    cairo_new_sub_path(cr);
    cairo_arc(cr, centreX, centreY, radius, rimAngle(wedgeEnd), rimAngle(wedgeStart) + 2.0 * pi);
    cairo_line_to(cr, centreX + apexRounding * std::cos(wedgeStart),
                  apexY + apexRounding * std::sin(wedgeStart));
    cairo_curve_to(cr, centreX, apexY, centreX, apexY, centreX + apexRounding * std::cos(wedgeEnd),
                   apexY + apexRounding * std::sin(wedgeEnd));
    cairo_close_path(cr);
}

} // namespace artwork
