// Programs and libraries linked with this file get the X11 platform, each window served by a thread of
// its own (a VST 2.4 host may never send idle calls).
#include "X11Platform.h"

IPlatform& defaultPlatform() {
    static X11Platform platform(X11Platform::Serving::ownThread);
    return platform;
}
