// Pins the effect's output bit for bit. After an intended change of the sound, regenerate the digest
// with VELMORA_UPDATE_GOLDEN=1 (see README) and commit the new file with the change.
#include "Corvel.h"
#include "GoldenScenario.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

} // namespace

TEST(CorvelGolden, ScriptedScenarioMatchesTheCommittedDigest) {
#if defined(_WIN32)
    // The digest pins the glibc build; the Windows C runtime's expf rounds a few cut-offs differently.
    // The Windows lane compares its output with the Linux output sample by sample instead.
    GTEST_SKIP() << "compared sample by sample against the Linux build in the Windows lane";
#endif
    auto effect = std::make_unique<Corvel>(quietHost);
    const GoldenRun run = runGoldenScenario(effect->getAeffect());
    ASSERT_EQ(run.left.size(), 8u * 44100u);

    const char* update = std::getenv("VELMORA_UPDATE_GOLDEN");
    if (update != nullptr && update[0] == '1') {
        ASSERT_TRUE(writeDigestFile(VELMORA_GOLDEN_DIGEST_FILE, run.digest));
        GTEST_SKIP() << "digest regenerated: " << std::hex << run.digest;
    }
    std::uint64_t expected = 0;
    ASSERT_TRUE(readDigestFile(VELMORA_GOLDEN_DIGEST_FILE, expected)) << VELMORA_GOLDEN_DIGEST_FILE;
    EXPECT_EQ(run.digest, expected) << std::hex << "output digest " << run.digest << ", committed "
                                    << expected;
}

TEST(CorvelGolden, InstancesStartFromTheSameState) {
    // Two instances, one of them created after another has run, must sound the same: no shared or
    // uninitialised state.
    auto first = std::make_unique<Corvel>(quietHost);
    const GoldenRun a = runGoldenScenario(first->getAeffect());
    auto second = std::make_unique<Corvel>(quietHost);
    const GoldenRun b = runGoldenScenario(second->getAeffect());
    EXPECT_EQ(a.digest, b.digest);
}
