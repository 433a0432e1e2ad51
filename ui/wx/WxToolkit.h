// WxToolkit.h: the game's windows on wxWidgets (GTK 3). Start here for the real window: it
// builds native widgets from each window's fixed layout, mirrors every change of a control's
// state into them, and turns key releases, clicks, menus and closing into the window's
// handlers. The game runs in main()'s call chain; this toolkit only turns the event loop
// when the game yields, waits or opens a box.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "speech/NotificationRoute.h"
#include "ui/Toolkit.h"

class wxWindow;

namespace orvanta::ui {

class WxToolkit final : public Toolkit {
 public:
  // Starts wxWidgets on the display. Without a display, or when the toolkit is already
  // running in this process, returns null and puts a sentence for the player into `error`.
  // `dataFolder` holds icons/orvanta-16.png, -32.png and -48.png (the window icon and the
  // splash's picture): the executable's folder in a build tree, <prefix>/share/orvanta
  // when installed.
  static std::unique_ptr<WxToolkit> Create(int argc, char** argv, std::filesystem::path dataFolder,
                                           std::string& error);
  ~WxToolkit() override;
  WxToolkit(const WxToolkit&) = delete;
  WxToolkit& operator=(const WxToolkit&) = delete;

  void Load(Window& window) override;
  void Show(Window& window) override;
  void Unload(Window& window) override;
  void Repaint(Window& window) override;
  void DoEvents() override;
  void WaitForEvent() override;
  MsgResult MsgBox(std::string_view text, std::string_view title, MsgButtons buttons,
                   MsgIcon icon) override;
  std::string InputBox(std::string_view prompt, std::string_view title) override;
  void OnKeyPressed(const std::function<void(bool controlAlone)>& handler) override;

  // The game's windows as the place where the screen reader is shown the game's sentences.
  speech::NotificationWindow& Notices();

  // The native widgets, for checks and diagnostics: the top-level window of a loaded window,
  // and the widget of one of its controls (null when not loaded).
  wxWindow* TopLevelOf(const Window& window) const;
  wxWindow* WidgetOf(const Control& control) const;
  // Pixels on this screen for a length in twips.
  int ToPixels(int twips) const;

 private:
  class Impl;
  explicit WxToolkit(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace orvanta::ui
