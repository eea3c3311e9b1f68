// A second, minimal VST 2.4 host for the tests: it runs a plug-in over a stereo buffer with the same
// start-up sequence and block schedule as velmora-render, so the two results can be compared.
#pragma once

#include "Automation.h"

#include <string>
#include <vector>

namespace render_test {

// One parameter, found by the name the plug-in reports, follows `envelope` at every block start.
std::vector<float> renderInProcess(const std::string& pluginPath, const std::vector<float>& stereo,
                                   int sampleRate, int blockSize, const std::string& parameter,
                                   const render::Envelope& envelope);

} // namespace render_test
