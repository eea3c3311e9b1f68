// Programs linked with this file get the offscreen platform.
#include "OffscreenPlatform.h"

IPlatform& defaultPlatform() {
    return OffscreenPlatform::instance();
}
