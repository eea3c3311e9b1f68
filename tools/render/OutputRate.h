// The output file's sample rate. The plug-in always runs at the input's rate; when the file is to have
// another, the output is resampled after the plug-in (AudioWriter).
#pragma once

#include <string>

namespace render {

struct OutputRate {
    int rate = 0;
    std::string note; // why the input's rate could not be kept, else empty
};

// The --rate range: the rates audio files use. Beyond it a slip of the keyboard is the likelier cause.
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 768000;

// `requested` (--rate) if non-zero, else the input's rate. When the format cannot take it: for --rate an
// error; else the lowest common rate it takes above the input's, so that none of the input's band is
// lost, or, for an input above every such rate, the highest of the input's family (44.1 kHz for
// 88.2 kHz, 48 kHz for 96 kHz), with a note saying so.
OutputRate chooseOutputRate(int format, int inputRate, int requested); // throws RenderError

} // namespace render
