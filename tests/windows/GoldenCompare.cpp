// velmora-golden-compare REFERENCE CANDIDATE MAX_ABS MAX_DIFFERING_PERCENT
//
// Compares two raw renderings of the golden scenario (32-bit floats, interleaved left/right), reports
// how many samples differ, by how many units in the last place and by how much in value, and fails when
// a sample is more than MAX_ABS away from the reference (full scale is 1), when more than
// MAX_DIFFERING_PERCENT of the samples differ at all, on a length mismatch, or on a NaN or infinity.
#include "SampleComparison.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool readSamples(const char* path, std::vector<float>& samples) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return false;
    }
    float buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, sizeof(float), 4096, file)) > 0) {
        samples.insert(samples.end(), buffer, buffer + count);
    }
    const bool ok = std::ferror(file) == 0 && std::fgetc(file) == EOF;
    std::fclose(file);
    if (!ok) {
        std::fprintf(stderr, "cannot read %s whole (or its size is not a multiple of 4 bytes)\n", path);
    }
    return ok;
}

std::string where(std::size_t index, const std::vector<float>& reference,
                  const std::vector<float>& candidate) {
    char text[160];
    std::snprintf(text, sizeof text, "frame %zu %s (%.9g vs %.9g)", index / 2,
                  index % 2 == 0 ? "left" : "right", static_cast<double>(reference[index]),
                  static_cast<double>(candidate[index]));
    return text;
}

bool parseNumber(const char* text, double& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return errno == 0 && end != text && *end == '\0' && value >= 0.0;
}

} // namespace

int main(int argc, char** argv) {
    double maxAbs = 0.0;
    double maxPercent = 0.0;
    if (argc != 5 || !parseNumber(argv[3], maxAbs) || !parseNumber(argv[4], maxPercent)) {
        std::fprintf(stderr, "usage: %s REFERENCE CANDIDATE MAX_ABS MAX_DIFFERING_PERCENT\n", argv[0]);
        return 2;
    }
    std::vector<float> reference, candidate;
    if (!readSamples(argv[1], reference) || !readSamples(argv[2], candidate)) {
        return 1;
    }

    const SampleComparison result = compareSamples(reference, candidate);
    const double percent = result.samples > 0 ? 100.0 * static_cast<double>(result.differing) /
                                                    static_cast<double>(result.samples)
                                              : 0.0;
    std::printf("reference %s\ncandidate %s\n", argv[1], argv[2]);
    std::printf("%zu samples compared, %zu differ (%.4f %%)\n", result.samples, result.differing, percent);
    if (result.differing > 0) {
        std::printf("first difference at %s\n", where(result.firstDifference, reference, candidate).c_str());
        std::printf("max distance %llu ulp at %s\n", static_cast<unsigned long long>(result.maxUlp),
                    where(result.maxUlpIndex, reference, candidate).c_str());
        std::printf("max absolute difference %.3g at %s\n", result.maxAbsDifference,
                    where(result.maxAbsIndex, reference, candidate).c_str());
    }

    bool pass = true;
    if (result.samples == 0) {
        std::printf("FAIL: nothing to compare\n");
        pass = false;
    }
    if (result.lengthMismatch > 0) {
        std::printf("FAIL: lengths differ: %zu and %zu samples\n", reference.size(), candidate.size());
        pass = false;
    }
    if (result.nonFinite > 0) {
        std::printf("FAIL: %zu samples are NaN or infinite\n", result.nonFinite);
        pass = false;
    }
    if (percent > maxPercent) {
        std::printf("FAIL: more than %.3g %% of the samples differ\n", maxPercent);
        pass = false;
    }
    for (std::size_t index : samplesOutside(reference, candidate, maxAbs, 10)) {
        std::printf("FAIL: beyond %.3g or not finite: %s\n", maxAbs,
                    where(index, reference, candidate).c_str());
        pass = false;
    }
    std::printf("%s (bound: %.3g per sample, %.3g %% of the samples differing)\n", pass ? "PASS" : "FAIL",
                maxAbs, maxPercent);
    return pass ? 0 : 1;
}
