// InputDialog.cpp: the input box is built from a dialog template in memory, so Windows' dialog
// manager gives it Tab, Enter for OK and Escape for Cancel, and screen readers read the
// prompt as the name of the edit box that follows it.
#include "ui/win32/InputDialog.h"

#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

#include "base/windows/WideText.h"
#include "ui/win32/Win32Text.h"

namespace orvanta::ui::win32 {

namespace {

constexpr WORD kPromptId = 100;
constexpr WORD kEditId = 101;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

// A dialog template is a packed sequence of 16-bit words; each item starts on 32 bits.
class Template {
 public:
  void Dword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void Word(WORD value) { words_.push_back(value); }
  void Text(std::wstring_view text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
  }
  void Align() {
    if (words_.size() % 2 != 0)
      words_.push_back(0);
  }
  void Item(DWORD style, short x, short y, short width, short height, WORD id, WORD kind,
            std::wstring_view text) {
    Align();
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    for (const short value : std::initializer_list<short>{x, y, width, height})
      Word(static_cast<WORD>(value));
    Word(id);
    Word(0xFFFF);
    Word(kind);
    Text(text);
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  std::vector<WORD> words_;
};

}  // namespace

InputDialog::InputDialog(std::string prompt, std::string title)
    : prompt_(std::move(prompt)), title_(std::move(title)) {}

std::string InputDialog::Run(HWND owner) {
  // Sizes in dialog units; the texts are set when the box opens.
  Template box;
  box.Dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  box.Dword(0);
  box.Word(4);  // items
  for (const WORD value : std::initializer_list<WORD>{0, 0, 250, 80})
    box.Word(value);
  box.Word(0);  // no menu
  box.Word(0);  // the standard dialog class
  box.Text(L"");
  box.Word(8);
  box.Text(L"MS Shell Dlg");
  // The prompt comes right before the edit box: it is the box's accessible name.
  box.Item(SS_LEFT | SS_NOPREFIX, 7, 7, 236, 24, kPromptId, kStaticClass, L"");
  box.Item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 34, 236, 14, kEditId, kEditClass, L"");
  box.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 136, 58, 50, 14, IDOK, kButtonClass, L"OK");
  box.Item(BS_PUSHBUTTON | WS_TABSTOP, 193, 58, 50, 14, IDCANCEL, kButtonClass, L"Cancel");

  typed_.clear();
  const INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), box.Data(), owner,
                                                 Procedure, reinterpret_cast<LPARAM>(this));
  dialog_ = nullptr;
  return answer == IDOK ? typed_ : std::string();
}

void InputDialog::Close() {
  if (dialog_ != nullptr)
    EndDialog(dialog_, IDCANCEL);
}

INT_PTR CALLBACK InputDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<InputDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      self = reinterpret_cast<InputDialog*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      self->dialog_ = dialog;
      SetWindowTextW(dialog, text::WideFromUtf8(self->title_).c_str());
      SetDlgItemTextW(dialog, kPromptId, text::WideFromUtf8(self->prompt_).c_str());
      SetForegroundWindow(dialog);
      SetFocus(GetDlgItem(dialog, kEditId));
      return FALSE;  // the focus is set
    case WM_COMMAND:
      if (self == nullptr)
        break;
      if (LOWORD(wParam) == IDOK) {
        self->typed_ = WindowText(GetDlgItem(dialog, kEditId));
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace orvanta::ui::win32
