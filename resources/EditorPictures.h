// The editor's pictures: the one list that the editor loads, the artwork program draws and the build
// stores in the library (resources/CMakeLists.txt expands the lists below with the C preprocessor into
// the resource script's lines and the table compiled into the Linux library). Plain data, no includes
// of ours: the artwork program and the toolkit's tests read it too.
#pragma once

// X(name, id, stem, width, height, frames): the picture `name` is resource `id` of type PNG, the file
// resources/<stem><suffix>.png, `frames` images of `width` x `height` window pixels stacked top to bottom.
// clang-format off
#define VELMORA_EDITOR_PICTURES(X)                                                                           \
    X(kBackgroundPicture, 128, "background", 171, 149, 1)                                                    \
    X(kOnOffPicture,      129, "onoff",       55,  57, 2)                                                    \
    X(kKnobPicture,       130, "knob",        90,  90, 1)                                                    \
    X(kSmallKnobPicture,  131, "smallknob",   32,  32, 120)

// X(factor, idOffset, suffix): a set of every picture drawn at `factor` times its size in pixels, stored
// under its ID plus `idOffset` in the file named with `suffix`.
#define VELMORA_PICTURE_SCALES(X)                                                                            \
    X(1, 0, "")                                                                                              \
    X(2, 100, "@2x")
// clang-format on

#ifdef __cplusplus

#include <cstdint>

struct EditorPicture {
    int32_t id; // at scale 1
    const char* stem;
    int width; // of one image
    int height;
    int frames;

    constexpr int stripHeight() const { return height * frames; }
};

struct PictureScale {
    int factor;
    int32_t idOffset;
    const char* suffix;
};

#define VELMORA_PICTURE_CONSTANT(name, id, stem, width, height, frames)                                      \
    constexpr EditorPicture name{id, stem, width, height, frames};
VELMORA_EDITOR_PICTURES(VELMORA_PICTURE_CONSTANT)
#undef VELMORA_PICTURE_CONSTANT

#define VELMORA_PICTURE_ENTRY(name, id, stem, width, height, frames) name,
constexpr EditorPicture kEditorPictures[] = {VELMORA_EDITOR_PICTURES(VELMORA_PICTURE_ENTRY)};
#undef VELMORA_PICTURE_ENTRY

#define VELMORA_SCALE_ENTRY(factor, idOffset, suffix) PictureScale{factor, idOffset, suffix},
constexpr PictureScale kPictureScales[] = {VELMORA_PICTURE_SCALES(VELMORA_SCALE_ENTRY)};
#undef VELMORA_SCALE_ENTRY

#endif
