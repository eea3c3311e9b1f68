// The effect's parameters and program count, shared by the effect and its editor.
#pragma once

enum CorvelParameter { kKnob = 0, kDrive = 1, kReso = 2, kNumParams = 3 };

constexpr int kNumPrograms = 1;

// The main knob's dry centre, both bounds included; left of it low-pass, right of it high-pass.
constexpr float kDeadZoneLow = 0.45f;
constexpr float kDeadZoneHigh = 0.55f;
