// --info: a description of a plug-in from its record and dispatcher answers, and a check that every
// text it hands over fits the published buffer size.
#pragma once

#include "PluginLoader.h"

#include <ostream>

namespace render {

// The plug-in's capability names that --info asks about with effCanDo.
extern const char* const kPluginCapabilities[8];

// Writes the report to `out` and one warning line per text fault to `warnings`; returns the fault count.
int printInfo(Plugin& plugin, std::ostream& out, std::ostream& warnings);

} // namespace render
