// A float that one thread may write while another reads it, each access whole and without ordering.
// Reads and writes look like a plain float's; on x86-64 they compile to plain loads and stores.
#pragma once

#include <atomic>

class RelaxedFloat {
  public:
    RelaxedFloat(float initial = 0.0f) : value(initial) {}
    RelaxedFloat(const RelaxedFloat& other) : value(other.load()) {}
    RelaxedFloat& operator=(const RelaxedFloat& other) {
        store(other.load());
        return *this;
    }
    RelaxedFloat& operator=(float newValue) {
        store(newValue);
        return *this;
    }
    operator float() const { return load(); }

    float load() const { return value.load(std::memory_order_relaxed); }
    void store(float newValue) { value.store(newValue, std::memory_order_relaxed); }

  private:
    std::atomic<float> value;
};
