// Runs one zone for a number of blocks in one form, for counting instructions under callgrind
// (count-instructions.sh). Only velmora_measured_blocks is counted: the instance's construction and the
// warm-up blocks are not.
//
//   velmora_instruction_driver ZONE shipped|reference BLOCKS
#include "ZoneScenario.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" __attribute__((noinline)) float velmora_measured_blocks(ZoneRun* run, long blocks) {
    float sum = 0.0f;
    for (long b = 0; b < blocks; ++b) {
        run->block();
        sum += run->output()[b % kBlock];
    }
    return sum;
}

int main(int argc, char** argv) {
    const ZoneSpec* zone = argc == 4 ? findZone(argv[1]) : nullptr;
    const bool shipped = argc == 4 && std::strcmp(argv[2], "shipped") == 0;
    const bool reference = argc == 4 && std::strcmp(argv[2], "reference") == 0;
    const long blocks = argc == 4 ? std::atol(argv[3]) : 0;
    if (zone == nullptr || (!shipped && !reference) || blocks <= 0) {
        std::fprintf(stderr, "usage: %s ZONE shipped|reference BLOCKS\nzones:", argv[0]);
        for (const ZoneSpec& z : kZones) {
            std::fprintf(stderr, " %s", z.name);
        }
        std::fprintf(stderr, "\n");
        return 2;
    }
    ZoneRun run(*zone, shipped ? Form::Shipped : Form::Reference);
    // Warm-up: past the first refresh, and a glide past its first turn.
    velmora_measured_blocks(&run, 0);
    for (int b = 0; b < 4; ++b) {
        run.block();
    }
    const float sum = velmora_measured_blocks(&run, blocks);
    std::printf("%s %s: %ld blocks of %d stereo samples (checksum %g)\n", zone->name, argv[2], blocks, kBlock,
                static_cast<double>(sum));
    return 0;
}
