// Reference-counted base of every toolkit object, and the message notification that timers use.
// Counts are atomic: the predefined fonts are shared by the editors of every instance, whose windows
// may be served by different threads.
#pragma once

#include <atomic>
#include <cstdint>

enum CMessageResult { kMessageUnknown = 0, kMessageNotified = 1 };

class CBaseObject {
  public:
    CBaseObject() = default;
    virtual ~CBaseObject() = default;
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;

    // A new object holds one reference, its creator's.
    virtual void remember() { nbReference.fetch_add(1, std::memory_order_relaxed); }
    // Drops one reference; the last one deletes the object.
    virtual void forget() {
        if (nbReference.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            delete this;
        }
    }
    int32_t getNbReference() const { return nbReference.load(std::memory_order_relaxed); }

    // Messages are compared by identity (the address of the message text), never by content.
    virtual CMessageResult notify(CBaseObject* /*sender*/, const char* /*message*/) {
        return kMessageUnknown;
    }

  private:
    std::atomic<int32_t> nbReference{1};
};

// Points `holder` at `object`, remembering the new object before forgetting the old one, so that setting
// the object already held is safe. Either may be null.
template <typename T> void exchangeReference(T*& holder, T* object) {
    if (object != nullptr) {
        object->remember();
    }
    if (holder != nullptr) {
        holder->forget();
    }
    holder = object;
}
