#include "GoldenPicture.h"

#include "PictureStore.h"
#include "PngEncoder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

bool updating() {
    const char* flag = std::getenv("VELMORA_UPDATE_GOLDEN");
    return flag != nullptr && std::strcmp(flag, "1") == 0;
}

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

std::string compareWithGolden(const CPixelBuffer& rendering, const std::string& goldenPath) {
    if (updating()) {
        return writePng(rendering, goldenPath) ? "" : "cannot write " + goldenPath;
    }
    const std::vector<unsigned char> bytes = readFile(goldenPath);
    const ResourceBytes png{bytes.data(), bytes.size()};
    int width = 0;
    int height = 0;
    std::string problem;
    if (!readPictureSize(png, width, height)) {
        problem = "no golden picture " + goldenPath + " (VELMORA_UPDATE_GOLDEN=1 writes it)";
    } else if (width != rendering.getWidth() || height != rendering.getHeight()) {
        problem = "size differs from " + goldenPath;
    } else {
        const std::vector<uint32_t> golden = decodePicture(png, width, height);
        int differing = 0;
        int firstX = -1;
        int firstY = -1;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (golden[static_cast<std::size_t>(y) * width + x] != rendering.at(x, y)) {
                    if (differing++ == 0) {
                        firstX = x;
                        firstY = y;
                    }
                }
            }
        }
        if (differing > 0) {
            char text[160];
            std::snprintf(text, sizeof(text), "%d pixels differ from %s, the first at (%d, %d)", differing,
                          goldenPath.c_str(), firstX, firstY);
            problem = text;
        }
    }
    if (!problem.empty()) {
        const std::size_t slash = goldenPath.find_last_of("/\\");
        const std::string name = goldenPath.substr(slash + 1);
        writePng(rendering, name.substr(0, name.size() - 4) + ".actual.png");
    }
    return problem;
}
