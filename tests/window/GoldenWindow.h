// A window's pixels against a committed golden picture, as often as a test polls the window: the picture
// is read once, and a window still painting is no mismatch, so nothing is written until the test asks
// what differs.
#pragma once

#include "CPixelBuffer.h"
#include "VstAbi.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class GoldenWindow {
  public:
    explicit GoldenWindow(std::string path);

    bool matches(const CPixelBuffer& shown) const { return !golden.empty() && shown.data() == golden; }
    // What differs, with `shown` left as NAME.actual.png in the working folder.
    std::string difference(const CPixelBuffer& shown) const;

  private:
    std::string path;
    std::vector<uint32_t> golden;
};

// Host automation from a thread other than the window's, and the golden picture the window must end on.
struct AutomatedState {
    const char* golden;
    std::vector<std::pair<VstInt32, float>> parameters;
};
const std::vector<AutomatedState>& automatedStates();
// Sets the state's parameters through the record on a thread of its own, and waits for it.
void automateFromAnotherThread(AEffect* effect, const AutomatedState& state);
