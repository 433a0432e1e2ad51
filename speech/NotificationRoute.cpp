// NotificationRoute.cpp: which way each sentence takes, and the holding of sentences that
// follow one another closely so that each notification stays on the braille display long
// enough to be read.
#include "speech/NotificationRoute.h"

#include <exception>
#include <utility>

namespace orvanta::speech {

NotificationRoute::NotificationRoute(ScreenReaderWatch& reader, DirectSpeech& direct,
                                     ScreenReaderRoute& ownVoice)
    : reader_(reader), direct_(direct), ownVoice_(ownVoice) {}

NotificationRoute::~NotificationRoute() {
  UseWindow(nullptr);
}

void NotificationRoute::UseWindow(NotificationWindow* window) {
  if (window_ != nullptr)
    window_->Schedule({}, {});
  window_ = window;
}

bool NotificationRoute::Presenting() {
  return window_ != nullptr && reader_.Running() && window_->Shown();
}

bool NotificationRoute::SayString(std::string_view text, bool interrupt) {
  if (!Presenting()) {
    ShowHeld();  // what was held before keeps its place
    SayDirectly(text, interrupt);
    return true;
  }
  if (interrupt)
    direct_.CancelAll(kCancelPatience);
  held_.Add(text, interrupt);
  if (!held_.Empty())
    window_->Schedule(SentenceBatch::kJoinWithin, [this] { ShowHeld(); });
  return true;
}

void NotificationRoute::ShowHeld() {
  if (held_.Empty())
    return;
  const std::string text = held_.Take();
  if (window_ != nullptr)
    window_->Schedule({}, {});
  if (window_ == nullptr || !window_->Notify(text))
    SayDirectly(text, false);
}

void NotificationRoute::SayDirectly(std::string_view text, bool interrupt) {
  bool reached = false;
  try {
    reached = direct_.SayString(text, interrupt);
  } catch (const std::exception&) {
    reached = false;
  }
  if (reached)
    return;
  try {
    ownVoice_.SayString(text, interrupt);
  } catch (const std::exception&) {
    // No way is left for this sentence; the next one tries them all again.
  }
}

void NotificationRoute::Silence() {
  held_.Take();
  if (window_ != nullptr)
    window_->Schedule({}, {});
  direct_.Silence();
  ownVoice_.Silence();
}

bool NotificationRoute::AnswerUntil(const std::function<bool()>& done,
                                    std::chrono::milliseconds limit) {
  if (window_ == nullptr || !reader_.Running())
    return false;
  window_->AnswerUntil(done, limit);
  return true;
}

}  // namespace orvanta::speech
