// The editor's four pictures. Each painter draws into a transparent canvas of its picture's size
// (Layout.h); none keeps state, so they may run on [any thread].
#pragma once

#include <cairo.h>

namespace artwork {

// 171 x 149, opaque: the panel, its rim, the captions and the maker's wordmark.
void paintBackground(cairo_t* cr);
// 55 x 114: the lamp unlit above, lit below.
void paintLamp(cairo_t* cr);
// 90 x 90: the main knob's face, with the wedge at the bottom cut out.
void paintKnobFace(cairo_t* cr);
// 32 x 3840: 120 frames of the small knob from value 0 to value 1.
void paintSmallKnobStrip(cairo_t* cr);

} // namespace artwork
