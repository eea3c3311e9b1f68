// Mouse buttons and modifier keys of a mouse event, and what a view answers to one.
#pragma once

#include <cstdint>

using CButtonState = int32_t;

enum CButton : int32_t {
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5,
    kAlt = 1 << 6,
};

// Shift slows knobs down by their zoom factor; Control resets a control to its default value.
constexpr CButtonState kZoomModifier = kShift;
constexpr CButtonState kDefaultValueModifier = kControl;

enum CMouseEventResult {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,
    kMouseEventNotHandled,
    // The press did all there was to do: the view wants no moves and no release.
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};
