#include "ModuleHandle.h"

void* hInstance = nullptr;
