// Test access to an effect's processing state, which hosts never see.
#pragma once

#include "Corvel.h"

#include <vector>

class CorvelProbe : public Corvel {
  public:
    explicit CorvelProbe(audioMasterCallback audioMaster = nullptr) : Corvel(audioMaster) {}

    using Corvel::dspSampleRate;
    using Corvel::highPassLeft;
    using Corvel::highPassRight;
    using Corvel::knobSmoothed;
    using Corvel::lowPassLeft;
    using Corvel::lowPassRight;
    using Corvel::refreshCounter;

    float resonanceValue() const { return resonance.load(); }

    // The processing state, so that another form of the audio path can run on a copy of it.
    CorvelDsp& dspState() { return *this; }
    // The parameter values that the next block runs with.
    CorvelControls controls() const { return {knobTarget.load(), resonance.load()}; }

    // Processes separate stereo buffers; returns the output.
    void run(const std::vector<float>& left, const std::vector<float>& right, std::vector<float>& outLeft,
             std::vector<float>& outRight) {
        outLeft.assign(left.size(), 0.0f);
        outRight.assign(right.size(), 0.0f);
        float* in[2] = {const_cast<float*>(left.data()), const_cast<float*>(right.data())};
        float* out[2] = {outLeft.data(), outRight.data()};
        processReplacing(in, out, static_cast<VstInt32>(left.size()));
    }
};
