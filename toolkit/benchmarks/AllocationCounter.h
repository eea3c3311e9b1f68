// Counts the program's heap allocations, for benchmarks that must show none on a path. Link
// AllocationCounter.cpp into the benchmark program: it replaces the global operator new.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

uint64_t allocationCount();

// Shows the allocations made since `since` per iteration of the benchmark, as the counter `name`.
inline void reportAllocations(benchmark::State& state, uint64_t since, const char* name = "allocations") {
    state.counters[name] =
        static_cast<double>(allocationCount() - since) / static_cast<double>(state.iterations());
}
