#include "GoldenWindow.h"

#include "PictureStore.h"
#include "PngEncoder.h"

#include <fstream>
#include <iterator>
#include <thread>

GoldenWindow::GoldenWindow(std::string goldenPath) : path(std::move(goldenPath)) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                           std::istreambuf_iterator<char>()};
    const ResourceBytes png{bytes.data(), bytes.size()};
    int width = 0;
    int height = 0;
    if (readPictureSize(png, width, height)) {
        golden = decodePicture(png, width, height);
    }
}

std::string GoldenWindow::difference(const CPixelBuffer& shown) const {
    if (golden.size() != shown.data().size()) {
        return "no golden picture of the window's size at " + path;
    }
    std::size_t differing = 0;
    for (std::size_t i = 0; i < golden.size(); ++i) {
        differing += golden[i] != shown.data()[i];
    }
    const std::string name = path.substr(path.find_last_of("/\\") + 1);
    writePng(shown, name.substr(0, name.rfind('.')) + ".actual.png");
    return std::to_string(differing) + " pixels differ from " + path;
}

const std::vector<AutomatedState>& automatedStates() {
    static const std::vector<AutomatedState> states = {
        {"editor-knob-0.45.png", {{0, 0.45f}, {1, 0.0f}}},
        {"editor-high-pass-drive-1-reso-0.png", {{0, 1.0f}, {1, 1.0f}, {2, 0.0f}}},
    };
    return states;
}

void automateFromAnotherThread(AEffect* effect, const AutomatedState& state) {
    std::thread([&] {
        for (const auto& [index, value] : state.parameters) {
            effect->setParameter(effect, index, value);
        }
    }).join();
}
