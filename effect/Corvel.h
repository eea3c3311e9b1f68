// The effect: a stereo one-knob filter. Low-pass left of centre, dry in the centre, high-pass right of
// centre, with drive and resonance. Knows no window; the editor joins it from outside.
//
// Threads: processReplacing runs on the host's audio thread and owns the processing state (CorvelDsp).
// Parameters may be set from any thread; each parameter-derived value is one atomic float, written
// and read whole with relaxed ordering (no value depends on another being seen first).
#pragma once

#include "AudioEffectX.h"
#include "CorvelDsp.h"
#include "CorvelParameters.h"
#include "CorvelProgram.h"

#include <atomic>
#include <memory>

// The processing state is a base rather than a member so that its fields (knobSmoothed, lowPassLeft...)
// read as the effect's own.
class Corvel : public AudioEffectX, protected CorvelDsp {
  public:
    explicit Corvel(audioMasterCallback audioMaster);
    ~Corvel() override;

    // [GUI thread] Switch-off and switch-on both take the host's current rate for the filters.
    void suspend() override;
    void resume() override;

    // [audio thread] Inputs and outputs may be the same buffers.
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

    // [any thread]
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;

    // [GUI thread]
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 processEvents(VstEvents* events) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo(char* text) override;
    VstInt32 getPlugCategory() override;
    bool getMidiKeyName(VstInt32 channel, MidiKeyName* keyName) override;

    // Describes input or output pin 0 or 1 as "Vstx 1" / "Vstx 2", active and stereo.
    virtual bool getPinProperties(VstInt32 index, VstPinProperties* properties);

  protected:
    // Parks all four filters and lets them settle on silence; run once at construction.
    void resetFilters();
    // The host's rate for the filters; a rate that is not a finite positive number becomes 44100.
    float usableSampleRate();

    std::unique_ptr<CorvelProgram[]> programs;

    // Written by setParameter on any thread.
    std::atomic<float> driveValue;
    std::atomic<float> resoValue;
    std::atomic<float> resonance;
    std::atomic<float> knobTarget;
};
