#include "ui/EventGate.h"

namespace orvanta::ui {

bool EventGate::Admit(std::function<void()> retry) {
  if (ended_)
    return false;
  if (holds_ > 0) {
    deferred_.push_back(std::move(retry));
    return false;
  }
  return true;
}

void EventGate::Run(const std::function<void()>& handler) {
  ++handled_;
  try {
    handler();
  } catch (...) {
    End(std::current_exception());
  }
}

void EventGate::End(std::exception_ptr error) {
  if (!pending_)
    pending_ = std::move(error);
  ended_ = true;
  if (closeModal_)
    closeModal_();
}

void EventGate::RethrowPending() {
  if (pending_)
    std::rethrow_exception(std::exchange(pending_, nullptr));
}

void EventGate::RunDeferred() {
  while (!deferred_.empty() && holds_ == 0) {
    std::vector<std::function<void()>> waiting = std::exchange(deferred_, {});
    for (auto& handler : waiting)
      handler();
  }
}

}  // namespace orvanta::ui
