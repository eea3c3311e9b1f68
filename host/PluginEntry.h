// The library's entry point and the one factory it calls.
#pragma once

#include "AudioEffect.h"

// Made by the effect side of the library: the one place that decides which effect a host gets.
// May return null; must not throw.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

#if defined(_WIN32)
#define VST_EXPORT // the module-definition file names the exports
#else
#define VST_EXPORT __attribute__((visibility("default")))
#endif

// [host's loading thread] Exported as "VSTPluginMain" and as "main": one instance per call.
extern "C" VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster);
