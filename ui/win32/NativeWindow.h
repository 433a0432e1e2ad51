// NativeWindow.h: one of the game's windows as a real Win32 window. It builds the controls
// from the window's layout (twips scaled for the monitor's DPI), keeps them in step with the
// controls' state, keeps the keyboard focus where the player can use it, and reports clicks,
// menu choices and closing to the toolkit.
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "ui/Window.h"

namespace orvanta::ui::win32 {

class NativeWindow final : public ControlListener {
 public:
  // What the window reports; the toolkit runs the game's handlers for it.
  class Events {
   public:
    virtual void Clicked(NativeWindow& window, const Control& button) = 0;
    virtual void MenuChosen(NativeWindow& window, std::string_view item) = 0;
    virtual void CloseRequested(NativeWindow& window) = 0;
    // A key message on its way to `target` (a control, or the window itself when it keeps
    // the focus); false when it must go no further.
    virtual bool Key(NativeWindow& window, HWND target, UINT message, WPARAM wParam,
                     LPARAM lParam) = 0;

   protected:
    ~Events() = default;
  };

  // Registers the window class once per process; false when Windows refuses it.
  static bool RegisterClass();

  // Builds the window hidden. Throws std::runtime_error when Windows cannot create it.
  NativeWindow(Window& window, Events& events);
  ~NativeWindow();
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;

  Window& Logic() const { return window_; }
  HWND Handle() const { return handle_; }

  void Show();
  void Repaint();

  // The button that Enter presses now: the focused button, else the enabled default button.
  const Control* ButtonForEnter() const;
  // Whether the focused control takes typed characters (an editable text box).
  bool TakesTyping(HWND focus) const;
  // Tab and Shift+Tab: the next control in tab order takes the focus.
  void MoveFocus(bool backwards);
  // The keys pressed down while this window had the keyboard: only their releases count.
  std::array<bool, 256>& KeysDown() { return keysDown_; }

 private:
  struct GdiDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
  };
  struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
  };
  using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDeleter>;
  using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

  struct NativeControl {
    Control* control = nullptr;
    HWND handle = nullptr;  // null for a shape, drawn on the window itself
    FontHandle font;        // only for a control with a font of its own
    IconHandle picture;
    std::string shownText;
    bool shownVisible = true;
    bool shownEnabled = true;
  };

  static LRESULT CALLBACK Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR window);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void ControlChanged(const Control& control) override;
  void BuildMenus();
  void BuildControl(NativeControl& entry, int id);
  void ApplyTabOrder();
  void ApplyDpi(UINT dpi);
  void ApplyVisibility();
  void FocusFirstIfLost();
  void Park(HWND from);
  void PaintShapes(HDC dc) const;
  void FitLabel(NativeControl& entry);
  FontHandle MakeFont(const Font& font, bool monospaced) const;
  NativeControl* FindEntry(HWND handle);
  const NativeControl* FindEntry(HWND handle) const;
  bool CanFocus(const NativeControl& entry) const;

  Window& window_;
  Events& events_;
  HWND handle_ = nullptr;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  FontHandle windowFont_;
  IconHandle bigIcon_;
  IconHandle smallIcon_;
  std::vector<NativeControl> controls_;  // creation order; never resized after building
  std::map<UINT, std::string> menuItems_;
  std::array<bool, 256> keysDown_{};
  HWND savedFocus_ = nullptr;  // the control that had the focus when the window went inactive
  HWND parkedFrom_ = nullptr;  // the control whose focus went to the window when it was disabled
};

}  // namespace orvanta::ui::win32
