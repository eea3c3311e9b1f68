#include "Lettering.h"

#include "ArtworkError.h"

#include <cairo-ft.h>

#include <cstring>
#include <string>

namespace artwork {

namespace {

constexpr const char* family = "Liberation Sans";

void requireFamily(cairo_t* cr) {
    cairo_scaled_font_t* font = cairo_get_scaled_font(cr);
    FT_Face face = cairo_ft_scaled_font_lock_face(font);
    const bool found =
        face != nullptr && face->family_name != nullptr && std::strcmp(face->family_name, family) == 0;
    const std::string actual = face != nullptr && face->family_name != nullptr ? face->family_name : "none";
    cairo_ft_scaled_font_unlock_face(font);
    if (!found) {
        throw ArtworkError(std::string("font ") + family + " not found (got " + actual +
                           "); install fonts-liberation2");
    }
}

// Draws text letter by letter from `x`, each letter `spacing` pixels after the previous one's advance.
void showSpaced(cairo_t* cr, const char* text, double x, double baseline, double spacing) {
    char letter[2] = {0, 0};
    for (const char* c = text; *c != 0; ++c) {
        letter[0] = *c;
        cairo_text_extents_t extents;
        cairo_text_extents(cr, letter, &extents);
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, letter);
        x += extents.x_advance + spacing;
    }
}

} // namespace

void selectFont(cairo_t* cr, Face face, double size) {
    cairo_select_font_face(cr, family,
                           face == Face::BoldItalic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           face == Face::Regular ? CAIRO_FONT_WEIGHT_NORMAL : CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    // Stated here rather than taken from the system's font configuration, which may differ by machine.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    requireFamily(cr);
}

double spacedWidth(cairo_t* cr, const char* text, double spacing) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    const auto gaps = static_cast<double>(std::strlen(text)) - 1.0;
    return extents.x_advance + (gaps > 0.0 ? gaps * spacing : 0.0);
}

void inscribe(cairo_t* cr, const char* text, double centreX, double baseline, double spacing,
              const Ink& ink) {
    const double left = centreX - 0.5 * spacedWidth(cr, text, spacing);
    setColour(cr, ink.relief, ink.reliefAlpha);
    showSpaced(cr, text, left, baseline + 1.0, spacing);
    setColour(cr, ink.letters);
    showSpaced(cr, text, left, baseline, spacing);
}

} // namespace artwork
