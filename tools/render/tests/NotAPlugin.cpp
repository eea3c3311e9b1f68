// A shared library that loads fine but is no VST plug-in: it exports neither entry point.
extern "C" __attribute__((visibility("default"))) int renderFixtureAnswer() {
    return 42;
}
