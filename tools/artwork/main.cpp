// velmora-artwork OUTDIR: draws the editor's pictures (resources/EditorPictures.h) and writes them as
// PNG files into OUTDIR.
// The same program on the same Debian packages writes the same bytes, so resources/ can be checked
// against a fresh run.
#include "ArtworkError.h"
#include "Canvas.h"
#include "EditorPictures.h"
#include "Pictures.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <iostream>
#include <string>

namespace {

using namespace artwork;

using Painter = void (*)(cairo_t*);

Painter painterOf(const EditorPicture& picture) {
    switch (picture.id) {
    case kBackgroundPicture.id:
        return paintBackground;
    case kOnOffPicture.id:
        return paintLamp;
    case kKnobPicture.id:
        return paintKnobFace;
    case kSmallKnobPicture.id:
        return paintSmallKnobStrip;
    default:
        throw ArtworkError("no painter for " + std::string(picture.stem));
    }
}

// Every picture at every scale: the painters draw in window pixels, enlarged by the scale's factor.
void writeAll(const std::filesystem::path& directory) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        throw ArtworkError("cannot make " + directory.string() + ": " + error.message());
    }
    for (const PictureScale& scale : kPictureScales) {
        for (const EditorPicture& picture : kEditorPictures) {
            Canvas canvas(picture.width * scale.factor, picture.stripHeight() * scale.factor);
            cairo_scale(canvas.context(), scale.factor, scale.factor);
            painterOf(picture)(canvas.context());
            canvas.writePng((directory / (std::string(picture.stem) + scale.suffix + ".png")).string());
        }
    }
}

} // namespace

// [main thread]
int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: velmora-artwork OUTDIR\n";
        return 2;
    }
    int status = 0;
    try {
        writeAll(argv[1]);
    } catch (const std::exception& error) {
        std::cerr << "velmora-artwork: " << error.what() << '\n';
        status = 1;
    }
    // Hands back the font and glyph caches, so that leak checkers see a clean exit.
    cairo_debug_reset_static_data();
    FcFini();
    return status;
}
