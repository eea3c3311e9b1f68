// velmora-artwork OUTDIR: draws the editor's four pictures and writes them as PNG files into OUTDIR.
// The same program on the same Debian packages writes the same bytes, so resources/ can be checked
// against a fresh run.
#include "ArtworkError.h"
#include "Canvas.h"
#include "Layout.h"
#include "Pictures.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <iostream>
#include <string>

namespace {

using namespace artwork;

struct Picture {
    const char* file;
    int width;
    int height;
    void (*paint)(cairo_t*);
};

const Picture pictures[] = {
    {"background.png", window.width(), window.height(), paintBackground},
    {"onoff.png", lamp.width(), lamp.height() * lampStates, paintLamp},
    {"knob.png", mainKnob.width(), mainKnob.height(), paintKnobFace},
    {"smallknob.png", driveKnob.width(), driveKnob.height() * smallKnobFrames, paintSmallKnobStrip},
};

void writeAll(const std::filesystem::path& directory) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        throw ArtworkError("cannot make " + directory.string() + ": " + error.message());
    }
    for (const Picture& picture : pictures) {
        Canvas canvas(picture.width, picture.height);
        picture.paint(canvas.context());
        canvas.writePng((directory / picture.file).string());
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
