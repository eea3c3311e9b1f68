// The artwork's own geometry beside the editor's layout (resources/EditorLayout.h, which places the
// pictures in the window and gives their sizes): the knobs' radii and how the knobs turn.
#pragma once

#include "EditorLayout.h"

namespace artwork {

constexpr double pi = 3.14159265358979323846;

constexpr double mainKnobRadius = 0.5 * kKnobPicture.width;
constexpr double smallKnobRadius = 10.5; // the body; the value arc runs outside it

// Angles as cairo measures them (clockwise, since y grows downwards). Every knob turns clockwise from
// the lower left (value 0) to the lower right (value 1); the quarter pointing straight down is unused.
constexpr double sweepStart = 0.75 * pi;
constexpr double sweepSpan = 1.5 * pi;
constexpr double wedgeStart = sweepStart + sweepSpan - 2.0 * pi; // lower right
constexpr double wedgeEnd = sweepStart;                          // lower left

inline double sweepAngle(double value) {
    return sweepStart + sweepSpan * value;
}

} // namespace artwork
