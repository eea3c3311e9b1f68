// Programs and libraries linked with this file get the Win32 platform.
#include "Win32Platform.h"

IPlatform& defaultPlatform() {
    return Win32Platform::instance();
}
