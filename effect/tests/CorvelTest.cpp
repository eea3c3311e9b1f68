// The effect's identity, parameters, texts and program, as a host reads them.
#include "CorvelProbe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

// A host buffer far larger than the published size, filled with a marker, so that both what was
// written and how far it reached can be checked.
struct HostText {
    char bytes[256];
    HostText() { std::memset(bytes, '#', sizeof bytes); }
    std::string str() const { return std::string(bytes, strnlen(bytes, sizeof bytes)); }
    bool untouched() const { return bytes[0] == '#' && bytes[1] == '#'; }
    // The terminator lies within `size` bytes and nothing past it was written.
    bool fits(std::size_t size) const {
        const std::size_t length = strnlen(bytes, sizeof bytes);
        if (length >= size) {
            return false;
        }
        for (std::size_t i = size; i < sizeof bytes; ++i) {
            if (bytes[i] != '#') {
                return false;
            }
        }
        return true;
    }
};

std::string display(Corvel& effect, VstInt32 index) {
    HostText text;
    effect.getParameterDisplay(index, text.bytes);
    EXPECT_TRUE(text.fits(kVstMaxParamStrLen)) << "display of " << index << ": " << text.str();
    return text.str();
}

std::string knobDisplay(float knob) {
    CorvelProbe effect;
    effect.setParameter(kKnob, knob);
    return display(effect, kKnob);
}

} // namespace

TEST(CorvelIdentity, NewInstanceDeclaresItsShape) {
    CorvelProbe effect;
    AEffect* record = effect.getAeffect();
    EXPECT_EQ(record->magic, kEffectMagic);
    EXPECT_EQ(record->numInputs, 2);
    EXPECT_EQ(record->numOutputs, 2);
    EXPECT_EQ(record->numPrograms, 1);
    EXPECT_EQ(record->numParams, 3);
    EXPECT_EQ(record->uniqueID, vstFourCC('Q', 'r', 'K', 't'));
    EXPECT_EQ(record->uniqueID, 0x51724B74);
    EXPECT_EQ(record->version, 1);
    EXPECT_EQ(record->initialDelay, 0);
    EXPECT_EQ(record->flags, effFlagsCanReplacing); // no editor attached to a bare effect
    EXPECT_EQ(effect.getPlugCategory(), kPlugCategEffect);
    EXPECT_EQ(effect.getVendorVersion(), 1000);
    EXPECT_EQ(effect.getProgram(), 0);
}

TEST(CorvelIdentity, NamesVendorAndProduct) {
    CorvelProbe effect;
    HostText name, vendor, product;
    EXPECT_TRUE(effect.getEffectName(name.bytes));
    EXPECT_TRUE(effect.getVendorString(vendor.bytes));
    EXPECT_TRUE(effect.getProductString(product.bytes));
    EXPECT_EQ(name.str(), "Velmora");
    EXPECT_EQ(vendor.str(), "Trevanor");
    EXPECT_EQ(product.str(), "Velmora");
    EXPECT_TRUE(name.fits(kVstMaxEffectNameLen));
    EXPECT_TRUE(vendor.fits(kVstMaxVendorStrLen));
    EXPECT_TRUE(product.fits(kVstMaxProductStrLen));
}

TEST(CorvelIdentity, CapabilitiesAreExactAndCaseSensitive) {
    CorvelProbe effect;
    for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo",
                            "plugAsChannelInsert", "sendVstMidiEvent", "sendVstEvents"}) {
        EXPECT_EQ(effect.canDo(const_cast<char*>(yes)), 1) << yes;
    }
    for (const char* no : {"bypass", "offline", "midiProgramNames", "receivevstevents", "RECEIVEVSTEVENTS",
                           "receiveVstEvents ", "", "sendVstEvent"}) {
        EXPECT_EQ(effect.canDo(const_cast<char*>(no)), -1) << '"' << no << '"';
    }
    EXPECT_EQ(effect.canDo(nullptr), -1);
}

TEST(CorvelIdentity, EventsAreRefusedAndKeysHaveBlankNames) {
    CorvelProbe effect;
    VstEvents events{};
    EXPECT_EQ(effect.processEvents(&events), -1);
    EXPECT_EQ(effect.processEvents(nullptr), -1);

    for (VstInt32 key : {0, 60, 127}) {
        MidiKeyName keyName;
        std::memset(&keyName, 0x7F, sizeof keyName);
        keyName.thisKeyNumber = key;
        EXPECT_TRUE(effect.getMidiKeyName(3, &keyName));
        EXPECT_STREQ(keyName.keyName, "    ");
        EXPECT_EQ(keyName.reserved, 0);
        EXPECT_EQ(keyName.flags, 0);
        EXPECT_EQ(keyName.thisKeyNumber, key);
    }
}

TEST(CorvelParameters, DefaultsNamesLabelsAndDisplays) {
    CorvelProbe effect;
    EXPECT_EQ(effect.getParameter(kKnob), 0.5f);
    EXPECT_EQ(effect.getParameter(kDrive), 0.0f);
    EXPECT_EQ(effect.getParameter(kReso), 0.5f);
    EXPECT_EQ(display(effect, kKnob), "---");
    EXPECT_EQ(display(effect, kDrive), " 0");
    EXPECT_EQ(display(effect, kReso), "51");

    const char* names[] = {"knob", "drive", "reso"};
    const char* labels[] = {"Hz", "%", "%"};
    for (VstInt32 index = 0; index < kNumParams; ++index) {
        HostText name, label;
        effect.getParameterName(index, name.bytes);
        effect.getParameterLabel(index, label.bytes);
        EXPECT_EQ(name.str(), names[index]);
        EXPECT_EQ(label.str(), labels[index]);
        EXPECT_TRUE(name.fits(kVstMaxParamStrLen));
        EXPECT_TRUE(label.fits(kVstMaxParamStrLen));
    }
}

TEST(CorvelParameters, IndicesOutsideTheTableAreIgnored) {
    CorvelProbe effect;
    for (VstInt32 index : {3, -1, 1000, std::numeric_limits<VstInt32>::min()}) {
        HostText name, text, label;
        effect.getParameterName(index, name.bytes);
        effect.getParameterDisplay(index, text.bytes);
        effect.getParameterLabel(index, label.bytes);
        EXPECT_TRUE(name.untouched());
        EXPECT_TRUE(text.untouched());
        EXPECT_EQ(label.str(), "%");
        EXPECT_EQ(effect.getParameter(index), 0.0f);
        effect.setParameter(index, 0.9f);
    }
    EXPECT_EQ(effect.getParameter(kKnob), 0.5f);
    EXPECT_EQ(effect.getParameter(kDrive), 0.0f);
    EXPECT_EQ(effect.getParameter(kReso), 0.5f);
}

TEST(CorvelParameters, KnobDisplayFollowsTheMappedCutoff) {
    EXPECT_EQ(knobDisplay(0.0f), "80");
    EXPECT_EQ(knobDisplay(0.225f), "894");
    EXPECT_EQ(knobDisplay(0.775f), "632");
    EXPECT_EQ(knobDisplay(0.45f), "---");
    EXPECT_EQ(knobDisplay(0.5f), "---");
    EXPECT_EQ(knobDisplay(0.55f), "---");
    EXPECT_EQ(knobDisplay(std::nextafter(0.55f, 1.0f)), "80");
    // Out-of-range positions stay within the mapper's range.
    EXPECT_EQ(knobDisplay(-3.0f), "80");
    EXPECT_EQ(knobDisplay(7.0f), "5000");
    EXPECT_EQ(knobDisplay(-std::numeric_limits<float>::infinity()), "80");
    EXPECT_EQ(knobDisplay(std::numeric_limits<float>::quiet_NaN()), "---");
}

TEST(CorvelParameters, DisplayFollowsTheTargetNotTheGlide) {
    CorvelProbe effect;
    effect.setParameter(kKnob, 0.0f);
    EXPECT_EQ(display(effect, kKnob), "80");
    EXPECT_EQ(effect.knobSmoothed, 0.5f);
}

TEST(CorvelParameters, ResonanceIsMappedAndShown) {
    CorvelProbe effect;
    effect.setParameter(kReso, 1.0f);
    EXPECT_EQ(effect.getParameter(kReso), 1.0f);
    EXPECT_EQ(effect.resonanceValue(), 1.0f);
    EXPECT_EQ(display(effect, kReso), "100");
    effect.setParameter(kReso, 0.0f);
    EXPECT_EQ(effect.resonanceValue(), 0.01f);
    EXPECT_EQ(display(effect, kReso), " 1");
    effect.setParameter(kReso, 0.5f);
    EXPECT_EQ(effect.resonanceValue(), 0.505f);
}

TEST(CorvelParameters, DriveReachesAllFourFiltersAtOnce) {
    CorvelProbe effect;
    for (float v : {0.25f, 1.0f, 0.0f, 3.5f}) {
        effect.setParameter(kDrive, v);
        EXPECT_EQ(effect.getParameter(kDrive), v);
        EXPECT_EQ(effect.lowPassLeft.drive, v);
        EXPECT_EQ(effect.lowPassRight.drive, v);
        EXPECT_EQ(effect.highPassLeft.drive, v);
        EXPECT_EQ(effect.highPassRight.drive, v);
    }
    effect.setParameter(kDrive, 0.5f);
    EXPECT_EQ(display(effect, kDrive), "50");
    effect.setParameter(kDrive, 1.0f);
    EXPECT_EQ(display(effect, kDrive), "100");
}

TEST(CorvelParameters, ValuesAreStoredUnclampedButTextsStayInTheirBuffer) {
    CorvelProbe effect;
    const float extremes[] = {-1.0f,
                              2.0f,
                              1e30f,
                              -1e30f,
                              std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::denorm_min()};
    for (float v : extremes) {
        for (VstInt32 index = 0; index < kNumParams; ++index) {
            effect.setParameter(index, v);
            const float back = effect.getParameter(index);
            if (std::isnan(v)) {
                EXPECT_TRUE(std::isnan(back));
            } else {
                EXPECT_EQ(back, v);
            }
            display(effect, index); // checks the text fits 8 bytes
        }
    }
    effect.setParameter(kDrive, 1e30f);
    EXPECT_EQ(display(effect, kDrive), "9999999");
    effect.setParameter(kDrive, -1e30f);
    EXPECT_EQ(display(effect, kDrive), "-999999");
}

TEST(CorvelProgram, NamesAndRenaming) {
    CorvelProbe effect;
    HostText name;
    effect.getProgramName(name.bytes);
    EXPECT_EQ(name.str(), "Init 1");
    EXPECT_TRUE(name.fits(kVstMaxProgNameLen));

    HostText indexed;
    EXPECT_TRUE(effect.getProgramNameIndexed(0, 0, indexed.bytes));
    EXPECT_EQ(indexed.str(), "DefaultProgram  ");
    HostText second;
    EXPECT_FALSE(effect.getProgramNameIndexed(0, 1, second.bytes));
    EXPECT_TRUE(second.untouched());

    effect.setProgramName(const_cast<char*>("Lead"));
    HostText lead;
    effect.getProgramName(lead.bytes);
    EXPECT_EQ(lead.str(), "Lead");

    effect.setProgramName(const_cast<char*>("Init"));
    HostText back;
    effect.getProgramName(back.bytes);
    EXPECT_EQ(back.str(), "Init 1");
}

TEST(CorvelProgram, LongNamesAreCutToTwentyThreeCharacters) {
    CorvelProbe effect;
    const std::string longName(300, 'x');
    effect.setProgramName(const_cast<char*>(longName.c_str()));
    HostText name;
    effect.getProgramName(name.bytes);
    EXPECT_EQ(name.str(), std::string(23, 'x'));
    EXPECT_TRUE(name.fits(kVstMaxProgNameLen));
    effect.setProgramName(nullptr); // ignored
    HostText again;
    effect.getProgramName(again.bytes);
    EXPECT_EQ(again.str(), std::string(23, 'x'));
}

TEST(CorvelProgram, SelectingAnyNumberReappliesProgramZero) {
    struct Recording : CorvelProbe {
        std::vector<std::pair<VstInt32, float>> calls;
        void setParameter(VstInt32 index, float value) override {
            calls.emplace_back(index, value);
            CorvelProbe::setParameter(index, value);
        }
    } effect;
    effect.setParameter(kKnob, 0.1f);
    effect.setParameter(kDrive, 0.7f);
    effect.setParameter(kReso, 0.3f);
    effect.calls.clear();

    effect.setProgram(5);
    EXPECT_EQ(effect.getProgram(), 0);
    ASSERT_EQ(effect.calls.size(), 3u);
    EXPECT_EQ(effect.calls[0], std::make_pair(VstInt32{0}, 0.1f));
    EXPECT_EQ(effect.calls[1], std::make_pair(VstInt32{1}, 0.7f));
    EXPECT_EQ(effect.calls[2], std::make_pair(VstInt32{2}, 0.3f));
}

TEST(CorvelProgram, ConstructionEndsWithProgramZeroApplied) {
    CorvelProbe effect;
    EXPECT_EQ(effect.resonanceValue(), 0.505f);
    EXPECT_EQ(effect.knobSmoothed, 0.5f);
    EXPECT_EQ(effect.refreshCounter, 0);
    EXPECT_EQ(effect.dspSampleRate, 44100.0f);
    EXPECT_EQ(effect.lowPassLeft.drive, 0.0f);
    EXPECT_EQ(effect.highPassRight.drive, 0.0f);
    // Parked: low-pass at the top of its range, high-pass at the bottom, tuned with the provisional
    // resonance 0.501.
    EXPECT_EQ(effect.lowPassLeft.cutoffHz, 17154.0f);
    EXPECT_EQ(effect.lowPassRight.cutoffHz, 17154.0f);
    EXPECT_EQ(effect.highPassLeft.cutoffHz, 20.0f);
    EXPECT_EQ(effect.highPassRight.cutoffHz, 20.0f);
    StateVariableFilter expected;
    expected.setCoefficients(20.0f, 0.501f, 44100.0f);
    EXPECT_EQ(effect.highPassLeft.damping, expected.damping);
}

TEST(CorvelPins, DescribesTwoStereoPins) {
    CorvelProbe effect;
    VstPinProperties pin{};
    ASSERT_TRUE(effect.getPinProperties(0, &pin));
    EXPECT_STREQ(pin.label, "Vstx 1");
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    ASSERT_TRUE(effect.getPinProperties(1, &pin));
    EXPECT_STREQ(pin.label, "Vstx 2");
    EXPECT_FALSE(effect.getPinProperties(2, &pin));
    // Hosts asking through the dispatcher get the base answer.
    EXPECT_FALSE(effect.getInputProperties(0, &pin));
    EXPECT_FALSE(effect.getOutputProperties(0, &pin));
}
