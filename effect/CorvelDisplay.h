// Parameter display texts. Safe on any thread: they map knob positions with mappers of their own,
// never with the ones the audio thread uses. Every text fits kVstMaxParamStrLen bytes.
#pragma once

// The cut-off frequency the knob position stands for, or 0 in the dry centre.
float knobCutoffHz(float knob);

// "%2i" of the whole hertz the knob stands for (truncated), or "---" in the dry centre.
void formatKnobDisplay(float knob, char* text);

// The editor's read-out: as formatKnobDisplay, but rounded to the nearest hertz, so it can show one more
// ("234" where the display text says "233").
void formatKnobReadout(float knob, char* text);

// "%2i" of the integer part of value x 100 + 0.5.
void formatPercentDisplay(float value, char* text);
