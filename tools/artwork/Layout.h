// Where the pictures sit in the 171 x 149 editor window and how the knobs turn. The editor places its
// controls at these rectangles; the pictures are drawn to fit them.
#pragma once

namespace artwork {

constexpr double pi = 3.14159265358979323846;

struct Box {
    int left;
    int top;
    int right;
    int bottom;
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr double centreX() const { return 0.5 * (left + right); }
    constexpr double centreY() const { return 0.5 * (top + bottom); }
};

constexpr Box window{0, 0, 171, 149};
constexpr Box readOut{70, 6, 104, 18};
constexpr Box logo{120, 0, 171, 33};
constexpr Box lamp{57, 81, 112, 138}; // one state; the picture holds two, stacked
constexpr Box mainKnob{40, 18, 130, 108};
constexpr Box driveKnob{13, 108, 45, 140};
constexpr Box resoKnob{126, 108, 158, 140};

constexpr double mainKnobRadius = 45.0;
constexpr double smallKnobRadius = 10.5; // the body; the value arc runs outside it
constexpr int lampStates = 2;
constexpr int smallKnobFrames = 120;

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
