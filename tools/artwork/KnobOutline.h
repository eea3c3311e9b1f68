// The main knob's silhouette: a disc without the quarter that points straight down (the wedge, through
// which the lamp shows). Used by the knob face and by its shadow on the panel.
#pragma once

#include <cairo.h>

namespace artwork {

// Adds the silhouette around (centreX, centreY) to the current path as one closed sub-path.
void knobOutline(cairo_t* cr, double centreX, double centreY, double radius);

} // namespace artwork
