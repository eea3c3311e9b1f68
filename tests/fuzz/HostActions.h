// The vocabulary of the host-actions fuzzer: what one input asks a live instance to go through, and the
// ranges each choice is drawn from. The fuzzer decodes inputs with these numbers and the seed generator
// encodes seeds with the same ones, so the two must change together.
//
// An input is decoded, with FuzzedDataProvider, as:
//   host kind                                  integral in [0, kHostKinds)
//   then, until the input runs out, kMaxActions actions or a close:
//   action                                     integral in [0, kActionKinds)
//     kDispatch:     opcode in [kMinOpcode, kMaxOpcode], index (int32), value (int64), opt (uint32 bits),
//                    then what the opcode's pointer argument needs (see FuzzHostActions.cpp)
//     kSetParameter: parameter index choice, float choice
//     kGetParameter: parameter index choice
//     kProcess:      frames in [kMinFrames, kMaxFrames], call in [0, kProcessCalls), in place (bool),
//                    signal in [0, kSignalKinds), seed (uint32)
//     kRecover:      knob, drive, reso in [0, kUnitSteps] (divided by kUnitSteps), recovery frames and
//                    checked frames in [1, kMaxFrames], seed (uint32)
//     kWindow:       event in [0, kWindowEvents) for the editor's window (ignored while none is open):
//                    kAdvanceClock: milliseconds in [0, kMaxAdvance]; pointer events: x in
//                    [kMinPoint, kMaxPointX], y in [kMinPoint, kMaxPointY], buttons (uint8: bit 0 left
//                    button, bit 1 Shift, bit 2 Control); kWheel: the same, then a float choice
//     kClose:        nothing; the sequence ends
//   parameter index choice: integral in [0, kIndexChoices): 0..2 the parameters, then -1, 3, INT32_MIN,
//                    INT32_MAX, and last an int32 read from the input
//   float choice:    integral in [0, kFloatChoices): kFloatUnit a unit step count in [0, kUnitSteps],
//                    kFloatSpecial an index into the special values, kFloatBits a uint32 bit pattern
#pragma once

#include "VstAbi.h"

#include <cstddef>

namespace fuzzactions {

enum HostKind : int { kSaneHost, kZeroHost, kGarbageHost, kAncientHost, kHostKinds };

enum Action : int {
    kDispatch,
    kSetParameter,
    kGetParameter,
    kProcess,
    kRecover,
    kWindow,
    kClose,
    kActionKinds
};

// What a user and the window system do to the editor's window.
enum WindowEvent : int {
    kFireTimers,
    kAdvanceClock,
    kPaint,
    kMouseDown,
    kMouseMoved,
    kMouseUp,
    kWheel,
    kWindowEvents
};
constexpr int kMaxAdvance = 500;
constexpr int kMinPoint = -20;
constexpr int kMaxPointX = 190;
constexpr int kMaxPointY = 170;

constexpr int kMinOpcode = -10;
constexpr int kMaxOpcode = 100;
constexpr int kMinFrames = -8;
constexpr int kMaxFrames = 4096;
constexpr int kMaxActions = 256;
constexpr int kUnitSteps = 10000;

// Program names (opcode 4) of up to this many characters; chunks (opcode 24) of up to this many bytes.
constexpr int kMaxProgramName = 1000;
constexpr int kMaxChunk = 1024;
constexpr int kMaxEvents = 4;
constexpr int kMaxSysexBytes = 64;
constexpr int kMaxVarIoFrames = 512;
constexpr int kMaxSpeakers = 8;
constexpr int kMaxCapability = 64;

enum ProcessCall : int { kReplacing, kReplacingAgain, kAccumulating, kDoubleReplacing, kProcessCalls };

enum Signal : int {
    kSilence,
    kProgramme,      // finite, within [-0.9, 0.9]
    kRandomBits,     // any bit pattern at all
    kNaNBurst,       // the programme with NaNs scattered in
    kInfinities,     // alternating infinities and huge values
    kSubnormals,     // subnormal numbers only
    kHuge,           // finite but near the largest float
    kSparseSpecials, // the programme with an occasional special value
    kSignalKinds
};

enum IndexChoice : int { kIndexChoices = 8 };

enum FloatChoice : int { kFloatUnit, kFloatSpecial, kFloatBits, kFloatChoices };

// Bit patterns of the special float values, by index.
constexpr unsigned kSpecialFloats[] = {
    0x7FC00000u, // NaN
    0xFFC00000u, // negative NaN
    0x7F800001u, // signalling NaN
    0x7F800000u, // +infinity
    0xFF800000u, // -infinity
    0x00000001u, // smallest subnormal
    0x807FFFFFu, // largest negative subnormal
    0x7F7FFFFFu, // largest float
    0xFF7FFFFFu, // most negative float
    0x80000000u, // -0
    0x3F800000u, // 1
    0xBF800000u, // -1
    0x40000000u, // 2
    0x7149F2CAu, // 1e30
};
constexpr int kSpecialFloatCount = sizeof(kSpecialFloats) / sizeof(kSpecialFloats[0]);

// Capability texts the effect knows, offered for opcode 51 beside random ones (choice 0).
constexpr const char* kCapabilities[] = {"receiveVstEvents",
                                         "receiveVstMidiEvent",
                                         "receiveVstTimeInfo",
                                         "plugAsChannelInsert",
                                         "sendVstMidiEvent",
                                         "sendVstEvents",
                                         "bypass"};
constexpr int kCapabilityChoices = 1 + sizeof(kCapabilities) / sizeof(kCapabilities[0]);

// Published text sizes by opcode; 0 for opcodes whose pointer is not a text buffer to fill.
constexpr std::size_t textSize(int opcode) {
    switch (opcode) {
    case effGetProgramName:
    case effGetProgramNameIndexed:
        return kVstMaxProgNameLen;
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
        return kVstMaxParamStrLen;
    case effGetEffectName:
        return kVstMaxEffectNameLen;
    case effGetErrorText:
        return 256;
    case effGetVendorString:
    case effGetProductString:
    case effShellGetNextPlugin:
        return kVstMaxVendorStrLen;
    default:
        return 0;
    }
}

// Opcodes whose pointer argument is built from further input (or is a structure, or a text); every other
// opcode but effClose reads one more bool: whether the host passes a scratch buffer or null.
constexpr bool hasOwnPointer(int opcode) {
    switch (opcode) {
    case effSetProgramName:
    case effEditGetRect:
    case effEditOpen:
    case effGetChunk:
    case effSetChunk:
    case effProcessEvents:
    case effString2Parameter:
    case effCanDo:
    case effGetInputProperties:
    case effGetOutputProperties:
    case effProcessVarIo:
    case effSetSpeakerArrangement:
    case effGetParameterProperties:
    case effGetMidiProgramName:
    case effGetCurrentMidiProgram:
    case effGetMidiProgramCategory:
    case effGetMidiKeyName:
    case effGetSpeakerArrangement:
    case effBeginLoadBank:
    case effBeginLoadProgram:
        return true;
    default:
        return textSize(opcode) != 0;
    }
}

} // namespace fuzzactions
