// Host opcodes 0 to 24: each becomes one virtual operation, its answer widened to the pointer-sized result.
#include "AudioEffect.h"

#include <cmath>
#include <cstdint>

namespace {

VstIntPtr fromBool(bool answer) {
    return answer ? 1 : 0;
}

// The meter level scaled to 16-bit full scale, truncated toward zero. A level that no integer can hold
// (not a number, or beyond the integer's range) would make the conversion undefined, so it is clamped.
VstIntPtr vuAnswer(float level) {
    const double scaled = static_cast<double>(level) * 32767.0;
    if (std::isnan(scaled)) {
        return 0;
    }
    if (scaled >= static_cast<double>(INTPTR_MAX)) {
        return INTPTR_MAX;
    }
    if (scaled <= static_cast<double>(INTPTR_MIN)) {
        return INTPTR_MIN;
    }
    return static_cast<VstIntPtr>(scaled);
}

} // namespace

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    const VstInt32 value32 = static_cast<VstInt32>(value);
    char* text = static_cast<char*>(ptr);

    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        // The full value is compared, so a large value whose low half looks valid is still refused.
        if (value < static_cast<VstIntPtr>(numPrograms)) {
            setProgram(value32);
        }
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        setProgramName(text);
        return 0;
    case effGetProgramName:
        getProgramName(text);
        return 0;
    case effGetParamLabel:
        getParameterLabel(index, text);
        return 0;
    case effGetParamDisplay:
        getParameterDisplay(index, text);
        return 0;
    case effGetParamName:
        getParameterName(index, text);
        return 0;
    case effGetVu:
        return vuAnswer(getVu());
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(value32);
        return 0;
    case effMainsChanged:
        if (value == 0) {
            suspend();
        } else {
            resume();
        }
        return 0;
    case effEditGetRect:
        return editor != nullptr ? fromBool(editor->getRect(static_cast<ERect**>(ptr))) : 0;
    case effEditOpen:
        return editor != nullptr ? fromBool(editor->open(ptr)) : 0;
    case effEditClose:
        if (editor != nullptr) {
            editor->close();
        }
        return 0;
    case effEditIdle:
        if (editor != nullptr) {
            editor->idle();
        }
        return 0;
    case effIdentify:
        return vstFourCC('N', 'v', 'E', 'f');
    case effGetChunk:
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        return setChunk(ptr, value32, index != 0);
    default:
        // Deprecated editor opcodes (16 to 18, 20, 21) and anything unknown, negative numbers included.
        return 0;
    }
}
