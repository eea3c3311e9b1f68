// The library's entry point and the one factory it calls.
#pragma once

#include "AudioEffect.h"

// Made by the effect side of the library: the one place that decides which effect a host gets.
// May return null; must not throw.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

// [host's loading thread] Exported as "VSTPluginMain" and as "main": one instance per call.
extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster);
