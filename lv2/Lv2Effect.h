// One LV2 instance: the effect, without an editor and without a host callback, driven the way a VST 2.4
// host drives it. A control port's value reaches the effect through setParameter, so the knob glides and
// non-finite values are mended exactly as under VST; instantiate sets the sample rate as effSetSampleRate
// does, activate and deactivate are the switch-on and switch-off (effMainsChanged 1 and 0).
#pragma once

#include "Corvel.h"
#include "Lv2Ports.h"

#include <cstdint>

class Lv2Effect {
  public:
    // [instantiation thread]
    explicit Lv2Effect(double sampleRate);

    // [audio thread] A null control port reads as the parameter's default; a port number the plug-in
    // does not have is ignored.
    void connect(std::uint32_t port, void* data);
    // [instantiation thread]
    void activate();
    void deactivate();
    // [audio thread] Until all four audio ports are connected, writes silence to the connected outputs.
    // An input and an output may be the same buffer. No allocation, lock or system call.
    void run(std::uint32_t frames);

  private:
    void applyControls();
    void silenceOutputs(std::uint32_t frames);

    Corvel effect;
    float* audio[kFirstControl] = {};
    const float* controls[kNumParams] = {};
    // The values the effect starts with, for control ports not connected.
    float defaults[kNumParams] = {};
    // The bit patterns last given to setParameter: a value, NaN included, is passed on only when it
    // changes, which leaves the effect where passing it at every run would.
    std::uint32_t applied[kNumParams] = {};
};
