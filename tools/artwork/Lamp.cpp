#include "Layout.h"
#include "Lettering.h"
#include "Paint.h"
#include "Pictures.h"

namespace artwork {

namespace {

// The lens sits in the knob's notch, where the whole width of the lamp shows, centred on its middle column.
constexpr double lensWidth = 38.0;
constexpr double lensHeight = 14.0;
constexpr double lensCentreY = 27.0;
constexpr double housingWidth = 2.5;
constexpr double haloHeight = 40.0;

constexpr double legendDrop = 2.5; // from the lens's centre line down to the legend's baseline

struct LensLook {
    Colour core;
    Colour edge;
    Ink legend;
    bool glows;
};

// Unlit: a dark lens with grey printing. Lit: the printing stands dark against the glowing glass.
constexpr LensLook unlit{palette::lampDark, palette::lampDarkEdge,
                         Ink{palette::legendDim, palette::black, 0.4}, false};
constexpr LensLook lit{palette::lampLitCore, palette::lampLitEdge,
                       Ink{Colour{0.36, 0.09, 0.02}, palette::lampLitCore, 0.5}, true};

void lensPath(cairo_t* cr, double grow) {
    const double centreX = 0.5 * kOnOffPicture.width;
    roundedRectangle(cr, centreX - 0.5 * lensWidth - grow, lensCentreY - 0.5 * lensHeight - grow,
                     lensWidth + 2.0 * grow, lensHeight + 2.0 * grow, 0.5 * lensHeight + grow);
}

// Light spilling onto the panel around the housing, fading out before the picture's edges.
void paintHalo(cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, 0.5 * kOnOffPicture.width, lensCentreY);
    cairo_scale(cr, 1.0, haloHeight / kOnOffPicture.width);
    cairo_pattern_t* glow = cairo_pattern_create_radial(0.0, 0.0, 0.0, 0.0, 0.0, 0.5 * kOnOffPicture.width);
    addStop(glow, 0.0, palette::lampLit, 0.85);
    addStop(glow, 0.45, palette::lampLit, 0.6);
    addStop(glow, 0.75, palette::lampLit, 0.2);
    addStop(glow, 1.0, palette::lampLit, 0.0);
    useGradient(cr, glow);
    cairo_paint(cr);
    cairo_restore(cr);
}

// A black housing with a bright lower lip, lit from above, in which the lens is set.
void paintBezel(cairo_t* cr) {
    lensPath(cr, housingWidth);
    cairo_pattern_t* housing =
        cairo_pattern_create_linear(0.0, lensCentreY - 0.5 * lensHeight - housingWidth, 0.0,
                                    lensCentreY + 0.5 * lensHeight + housingWidth);
    addStop(housing, 0.0, Colour{0.04, 0.04, 0.045});
    addStop(housing, 1.0, Colour{0.30, 0.31, 0.33});
    useGradient(cr, housing);
    cairo_fill(cr);
}

void paintLens(cairo_t* cr, const LensLook& look) {
    const double centreX = 0.5 * kOnOffPicture.width;
    cairo_pattern_t* glass =
        cairo_pattern_create_radial(centreX, lensCentreY, 1.0, centreX, lensCentreY, 0.5 * lensWidth);
    addStop(glass, 0.0, look.core);
    addStop(glass, 1.0, look.edge);
    useGradient(cr, glass);
    lensPath(cr, 0.0);
    cairo_fill(cr);

    // Light catching the upper half of the glass.
    cairo_save(cr);
    lensPath(cr, 0.0);
    cairo_clip(cr);
    cairo_pattern_t* sheen =
        cairo_pattern_create_linear(0.0, lensCentreY - 0.5 * lensHeight, 0.0, lensCentreY);
    addStop(sheen, 0.0, palette::white, look.glows ? 0.45 : 0.22);
    addStop(sheen, 1.0, palette::white, 0.0);
    useGradient(cr, sheen);
    lensPath(cr, -1.0);
    cairo_fill(cr);
    cairo_restore(cr);

    selectFont(cr, Face::Bold, 7.0);
    inscribe(cr, "ON/OFF", centreX, lensCentreY + legendDrop, 0.0, look.legend);
}

void paintState(cairo_t* cr, const LensLook& look) {
    if (look.glows) {
        paintHalo(cr);
    }
    paintBezel(cr);
    paintLens(cr, look);
}

} // namespace

void paintLamp(cairo_t* cr) {
    paintState(cr, unlit);
    cairo_translate(cr, 0.0, kOnOffPicture.height);
    paintState(cr, lit);
}

} // namespace artwork
