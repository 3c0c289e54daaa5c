#pragma once
// Progress of a long operation: an optional status text, a bar and the abort flag that Esc sets.
// Operations take a Progress& and poll aborted() every few thousand items; the base class shows nothing.

#include <atomic>
#include <cstdint>
#include <string_view>

namespace tav {

class Progress {
  public:
    virtual ~Progress() = default;
    virtual void setStatus(std::string_view /*text*/) {}
    virtual void hideStatus() {}
    virtual void startBar(std::int64_t /*max*/) {}
    virtual void setPosition(std::int64_t /*pos*/) {}
    virtual void endBar() {}

    bool aborted() const { return abort_.load(std::memory_order_relaxed); }
    void requestAbort() { abort_.store(true, std::memory_order_relaxed); }
    void clearAbort() { abort_.store(false, std::memory_order_relaxed); }

  private:
    std::atomic<bool> abort_{false};
};

// For callers that want no display.
Progress& noProgress();

}  // namespace tav
