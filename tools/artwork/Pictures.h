// The painters of the editor's four pictures. Each draws one picture of resources/EditorPictures.h into
// a transparent canvas of its size in window pixels, all its images stacked; none keeps state, so they
// may run on [any thread].
#pragma once

#include <cairo.h>

namespace artwork {

// Opaque: the panel, its rim, the captions and the maker's wordmark.
void paintBackground(cairo_t* cr);
// The lamp unlit above, lit below.
void paintLamp(cairo_t* cr);
// The main knob's face, with the wedge at the bottom cut out.
void paintKnobFace(cairo_t* cr);
// The small knob's images from value 0 to value 1.
void paintSmallKnobStrip(cairo_t* cr);

} // namespace artwork
