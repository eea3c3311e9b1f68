// The three things velmora-render does: render a file, render the demo, describe a plug-in.
#pragma once

#include "Options.h"

namespace render {

// Each returns the process exit status; errors are thrown as RenderError.
int runRender(const Options& options);
int runDemo(const Options& options);
int runInfo(const Options& options);

} // namespace render
