#include "KnobOutline.h"
#include "Layout.h"
#include "Lettering.h"
#include "Paint.h"
#include "Pictures.h"

#include <initializer_list>

namespace artwork {

namespace {

constexpr double rimWidth = 3.0;
constexpr double bezelGap = 1.5;          // between the read-out's box and its bezel
constexpr double unitOffset = 8.0;        // from the read-out's right edge to the centre of "Hz"
constexpr double unitRaise = 3.0;         // "Hz" stands level with the read-out's digits
constexpr double topBaseline = 16.0;      // of the product name, at the top left
constexpr double wordmarkBaseline = 19.0; // the wordmark sits centred in the logo's box
constexpr double wordmarkUnderline = 3.0; // below the wordmark's baseline
constexpr double captionGap = 3.0;        // between a caption's baseline and its knob
constexpr double productNameCentreX = 30.0;
constexpr const char* wordmark = "Trevanor";

void paintPanel(cairo_t* cr) {
    cairo_pattern_t* shade = cairo_pattern_create_linear(0.0, 0.0, 0.0, kWindowRect.bottom);
    addStop(shade, 0.0, palette::panelTop);
    addStop(shade, 1.0, palette::panelBottom);
    useGradient(cr, shade);
    cairo_paint(cr);
}

// A raised aluminium frame: lit from the top left, a dark line where it meets the panel.
void paintRim(cairo_t* cr) {
    cairo_pattern_t* metal = cairo_pattern_create_linear(0.0, 0.0, kWindowRect.right, kWindowRect.bottom);
    addStop(metal, 0.0, palette::rimLight);
    addStop(metal, 1.0, palette::rimShade);
    useGradient(cr, metal);
    cairo_rectangle(cr, 0.0, 0.0, kWindowRect.right, kWindowRect.bottom);
    cairo_rectangle(cr, rimWidth, rimWidth, kWindowRect.right - 2.0 * rimWidth,
                    kWindowRect.bottom - 2.0 * rimWidth);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);

    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::white, 0.55);
    cairo_move_to(cr, 0.5, kWindowRect.bottom);
    cairo_line_to(cr, 0.5, 0.5);
    cairo_line_to(cr, kWindowRect.right, 0.5);
    cairo_stroke(cr);
    setColour(cr, palette::black, 0.6);
    cairo_rectangle(cr, rimWidth + 0.5, rimWidth + 0.5, kWindowRect.right - 2.0 * rimWidth - 1.0,
                    kWindowRect.bottom - 2.0 * rimWidth - 1.0);
    cairo_stroke(cr);
}

// The read-out is a black box drawn by the editor; a recessed bezel around it seats it in the panel.
void paintReadOutWindow(cairo_t* cr) {
    const double x = kReadOutRect.left - bezelGap;
    const double y = kReadOutRect.top - bezelGap;
    const double w = kReadOutRect.width() + 2.0 * bezelGap;
    const double h = kReadOutRect.height() + 2.0 * bezelGap;
    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::black, 0.7);
    cairo_move_to(cr, x, y + h);
    cairo_line_to(cr, x, y);
    cairo_line_to(cr, x + w, y);
    cairo_stroke(cr);
    setColour(cr, palette::white, 0.22);
    cairo_move_to(cr, x + w, y);
    cairo_line_to(cr, x + w, y + h);
    cairo_line_to(cr, x, y + h);
    cairo_stroke(cr);

    selectFont(cr, Face::Bold, 7.0);
    inscribe(cr, "Hz", kReadOutRect.right + unitOffset, kReadOutRect.bottom - unitRaise, 0.4,
             ink::printedDim);
}

void paintWordmark(cairo_t* cr) {
    selectFont(cr, Face::BoldItalic, 10.5);
    const double centreX =
        kLogoRect.centreX() - 0.5 * rimWidth; // centred between the logo's left edge and the rim
    inscribe(cr, wordmark, centreX, wordmarkBaseline, 0.0, ink::printed);
    const double half = 0.5 * spacedWidth(cr, wordmark, 0.0);
    setColour(cr, palette::valueBlue, 0.9);
    cairo_rectangle(cr, centreX - half + 1.0, wordmarkBaseline + wordmarkUnderline, 2.0 * half - 2.0, 1.0);
    cairo_fill(cr);
}

// Shadows under the knobs, so that they stand off the panel.
void paintKnobShadows(cairo_t* cr) {
    knobOutline(cr, kMainKnobRect.centreX(), kMainKnobRect.centreY() + 1.5, mainKnobRadius - 1.0);
    softShadow(cr, 4.0, 0.5);
    for (const LayoutRect& knob : {kDriveKnobRect, kResoKnobRect}) {
        cairo_arc(cr, knob.centreX(), knob.centreY() + 1.0, smallKnobRadius, 0.0, 2.0 * pi);
        softShadow(cr, 3.0, 0.5);
    }
}

void paintCaptions(cairo_t* cr) {
    selectFont(cr, Face::Bold, 8.0);
    inscribe(cr, "VELMORA", productNameCentreX, topBaseline, 1.0, ink::printed);
    selectFont(cr, Face::Bold, 7.0);
    inscribe(cr, "DRIVE", kDriveKnobRect.centreX(), kDriveKnobRect.top - captionGap, 0.9, ink::printed);
    inscribe(cr, "RESO", kResoKnobRect.centreX(), kResoKnobRect.top - captionGap, 0.9, ink::printed);
}

} // namespace

void paintBackground(cairo_t* cr) {
    paintPanel(cr);
    paintRim(cr);
    paintReadOutWindow(cr);
    paintWordmark(cr);
    paintKnobShadows(cr);
    paintCaptions(cr);
}

} // namespace artwork
