// Programs and libraries linked with this file get the X11 platform.
#include "X11Platform.h"

IPlatform& defaultPlatform() {
    return X11Platform::instance();
}
