// Counts the program's heap allocations, for benchmarks that must show none on a path. Link
// AllocationCounter.cpp into the benchmark program: it replaces the global operator new.
#pragma once

#include <cstdint>

uint64_t allocationCount();
