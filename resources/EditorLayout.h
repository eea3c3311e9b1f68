// Where the editor's controls sit in its window, in window pixels (origin top left, y down; rectangles as
// left, top, right, bottom): the editor places its controls here and the artwork program draws the
// pictures to fit. A control with a picture takes the picture's size at its position.
#pragma once

#include "EditorPictures.h"

struct LayoutPoint {
    int x;
    int y;
};

struct LayoutRect {
    int left;
    int top;
    int right;
    int bottom;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr double centreX() const { return 0.5 * (left + right); }
    constexpr double centreY() const { return 0.5 * (top + bottom); }
};

// One image of `picture` with its top left corner at `position`.
constexpr LayoutRect placed(const EditorPicture& picture, LayoutPoint position) {
    return {position.x, position.y, position.x + picture.width, position.y + picture.height};
}

// The window is the background picture.
constexpr LayoutRect kWindowRect = placed(kBackgroundPicture, {0, 0});
// The cut-off read-out, a label drawn by the editor.
constexpr LayoutRect kReadOutRect{70, 6, 104, 18};
// The invisible button over the maker's logo, in the window's top right corner.
constexpr int kLogoWidth = 51;
constexpr int kLogoHeight = 33;
constexpr LayoutRect kLogoRect{kWindowRect.right - kLogoWidth, 0, kWindowRect.right, kLogoHeight};

constexpr LayoutPoint kLampPosition{57, 81};
constexpr LayoutPoint kMainKnobPosition{40, 18};
constexpr LayoutPoint kResoKnobPosition{126, 108};
constexpr LayoutPoint kDriveKnobPosition{13, 108};

constexpr LayoutRect kLampRect = placed(kOnOffPicture, kLampPosition);
constexpr LayoutRect kMainKnobRect = placed(kKnobPicture, kMainKnobPosition);
constexpr LayoutRect kResoKnobRect = placed(kSmallKnobPicture, kResoKnobPosition);
constexpr LayoutRect kDriveKnobRect = placed(kSmallKnobPicture, kDriveKnobPosition);
