// WxSession.h: wxWidgets started and ended in this process: the application object (through
// which every key release passes), wx's settings, its event loop object, the screen's
// resolution and the program's icons.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class wxGUIEventLoop;
class wxKeyEvent;

namespace orvanta::ui::wx {

class WxSession {
 public:
  // Starts wx on the display. Without a display, or when wx is already running in this
  // process, returns null and puts a sentence for the player into `error`. `dataFolder` holds
  // icons/orvanta-16.png, -32.png and -48.png.
  static std::unique_ptr<WxSession> Start(int argc, char** argv, std::filesystem::path dataFolder,
                                          std::string& error);
  // Deletes the windows destroyed meanwhile, then ends wx.
  ~WxSession();
  WxSession(const WxSession&) = delete;
  WxSession& operator=(const WxSession&) = delete;

  double DotsPerInch() const { return dotsPerInch_; }
  const wxIconBundle& Icons() const { return icons_; }
  // The program's picture at 16, 32 or 48 pixels; not ok when its file is missing.
  wxBitmap ProgramIcon(int size) const;
  // Every key release in the process, before the focused widget gets it; empty: none.
  void OnKeyReleased(std::function<void(wxKeyEvent&)> handler);

 private:
  // What wx was started with: wx may keep pointers into the argument vector.
  struct StartArguments {
    std::vector<std::string> values;
    std::vector<char*> pointers;
  };

  WxSession(std::filesystem::path dataFolder, std::unique_ptr<StartArguments> arguments);

  std::filesystem::path dataFolder_;
  std::unique_ptr<StartArguments> arguments_;
  std::unique_ptr<wxGUIEventLoop> loop_;
  double dotsPerInch_ = 96.0;
  wxIconBundle icons_;
};

}  // namespace orvanta::ui::wx
