// OrcaWatch.h: whether the screen reader Orca runs on the desktop: the accessibility bus
// (AT-SPI) holds an application named "orca". A thread of its own follows the registry's
// children-changed events, so an Orca started or stopped during the game is noticed, and the
// game never waits on the bus.
#pragma once

#include <chrono>
#include <memory>
#include <thread>

#include "speech/NotificationRoute.h"

namespace orvanta::speech {

class OrcaWatch : public ScreenReaderWatch {
 public:
  // The first look at the desktop is over within this time.
  static constexpr std::chrono::milliseconds kFirstLook{1000};

  OrcaWatch();
  ~OrcaWatch() override;
  OrcaWatch(const OrcaWatch&) = delete;
  OrcaWatch& operator=(const OrcaWatch&) = delete;

  // Waits for the first look (at most kFirstLook) the first time.
  bool Running() override;

 private:
  struct Shared;
  static void Watch(const std::shared_ptr<Shared>& shared);

  std::shared_ptr<Shared> shared_;
  std::thread watcher_;
};

// A screen reader that never runs: the player asked for the direct way.
class NoScreenReaderWatch : public ScreenReaderWatch {
 public:
  bool Running() override { return false; }
};

}  // namespace orvanta::speech
