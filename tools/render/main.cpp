// velmora-render: a VST 2.4 host on the command line.
#include "AudioFile.h"
#include "Commands.h"
#include "Options.h"
#include "RenderError.h"

#include <cstdio>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    using namespace render;
    installCleanupHandlers();
    Options options;
    try {
        options = parseOptions(argc, argv);
    } catch (const RenderError& error) {
        std::cerr << "velmora-render: " << error.what() << '\n';
        return 2;
    }
    try {
        switch (options.mode) {
        case Mode::Help:
            std::cout << usageText();
            return 0;
        case Mode::Version:
            std::cout << "velmora-render " << VELMORA_VERSION << '\n';
            return 0;
        case Mode::Info:
            return runInfo(options);
        case Mode::Demo:
            return runDemo(options);
        case Mode::Render:
            return runRender(options);
        }
    } catch (const RenderError& error) {
        std::cerr << "velmora-render: " << error.what() << '\n';
    } catch (const std::exception& error) {
        std::cerr << "velmora-render: unexpected failure: " << error.what() << '\n';
    }
    return 1;
}
