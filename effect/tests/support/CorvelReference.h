// The audio path in its straightforward form: one sample at a time, four scalar filters, knob glide,
// refresh and zone decided anew for every sample. It is what the shipped processing must produce bit
// for bit; tests and benchmarks run both on copies of the same CorvelDsp.
#pragma once

#include "CorvelDsp.h"

void processCorvelReference(CorvelDsp& dsp, const CorvelControls& controls, float* const* inputs,
                            float* const* outputs, VstInt32 sampleFrames);
