#include "ui/wx/WxModalBoxes.h"

#include <wx/textdlg.h>

#include <algorithm>

#include "ui/AppInfo.h"
#include "ui/wx/WxText.h"

namespace orvanta::ui::wx {

MsgResult WxModalBoxes::MsgBox(const wxWindow* parent, std::string_view text,
                               std::string_view title, MsgButtons buttons, MsgIcon icon) {
  gtk::NativeMessageBox box(parent, text, title, buttons, icon);
  openBoxes_.push_back(&box);
  const MsgResult result = box.Run();
  openBoxes_.erase(std::find(openBoxes_.begin(), openBoxes_.end(), &box));
  return result;
}

std::string WxModalBoxes::InputBox(wxWindow* parent, std::string_view prompt,
                                   std::string_view title) {
  wxTextEntryDialog dialog(parent, ToWx(prompt), ToWx(title.empty() ? kProgramTitle : title),
                           wxEmptyString, wxOK | wxCANCEL | wxCENTRE);
  gtk::ExposeAsDialog(&dialog);  // wx builds it as a plain top-level window
  openDialogs_.push_back(&dialog);
  const int answer = dialog.ShowModal();
  openDialogs_.erase(std::find(openDialogs_.begin(), openDialogs_.end(), &dialog));
  return answer == wxID_OK ? FromWx(dialog.GetValue()) : std::string();
}

void WxModalBoxes::CloseAll() {
  for (gtk::NativeMessageBox* box : openBoxes_)
    box->Close();
  for (wxDialog* dialog : openDialogs_)
    dialog->EndModal(wxID_CANCEL);
}

}  // namespace orvanta::ui::wx
