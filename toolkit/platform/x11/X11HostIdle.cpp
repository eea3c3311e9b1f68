// Libraries linked with this file get the X11 platform with every window served by the host's idle calls
// on its GUI thread (IPlatformFrame::hostIdle): no thread of the library's own.
#include "X11Platform.h"

IPlatform& defaultPlatform() {
    static X11Platform platform(X11Platform::Serving::hostIdle);
    return platform;
}
