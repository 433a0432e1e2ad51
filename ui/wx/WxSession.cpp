#include "ui/wx/WxSession.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/log.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "ui/AppInfo.h"
#include "ui/wx/GtkNative.h"
#include "ui/wx/WxText.h"

namespace orvanta::ui::wx {

namespace {

// The application object: the game reads its own options, and every key release in the
// process passes through FilterEvent on its way to the focused widget.
class GameApp final : public wxApp {
 public:
  bool OnInit() override { return true; }
  int FilterEvent(wxEvent& event) override {
    if (event.GetEventType() == wxEVT_KEY_UP && keyReleased_) {
      keyReleased_(static_cast<wxKeyEvent&>(event));
    }
    return Event_Skip;
  }
  void OnKeyReleased(std::function<void(wxKeyEvent&)> handler) {
    keyReleased_ = std::move(handler);
  }

 private:
  std::function<void(wxKeyEvent&)> keyReleased_;
};

// wx's checks print on standard error instead of opening a dialog in the middle of a game.
void ReportWxAssertion(const wxString& file, int line, const wxString& function,
                       const wxString& condition, const wxString& message) {
  std::fprintf(stderr, "orvanta: wxWidgets check failed at %s:%d in %s: %s %s\n",
               FromWx(file).c_str(), line, FromWx(function).c_str(), FromWx(condition).c_str(),
               FromWx(message).c_str());
}

}  // namespace

std::unique_ptr<WxSession> WxSession::Start(int argc, char** argv, std::filesystem::path dataFolder,
                                            std::string& error) {
  if (wxTheApp != nullptr) {
    error = "The window toolkit is already running in this program.";
    return nullptr;
  }
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const bool hasDisplay = display != nullptr && *display != '\0';
  if (!hasDisplay && (wayland == nullptr || *wayland == '\0')) {
    error =
        "Orvanta cannot open its window: no graphical display is set (DISPLAY is empty). "
        "Start it from the desktop, or play it with --script.";
    return nullptr;
  }

  auto arguments = std::make_unique<StartArguments>();
  for (int i = 0; i < argc && argv != nullptr && argv[i] != nullptr; ++i) {
    arguments->values.emplace_back(argv[i]);
  }
  if (arguments->values.empty())
    arguments->values.emplace_back("orvanta");
  for (std::string& value : arguments->values)
    arguments->pointers.push_back(value.data());
  arguments->pointers.push_back(nullptr);
  int wxArgc = static_cast<int>(arguments->values.size());

  // wx owns the application object and deletes it in wxEntryCleanup().
  wxApp::SetInstance(new GameApp());
  if (!wxEntryStart(wxArgc, arguments->pointers.data())) {
    error = std::string("Orvanta cannot open its window on the display \"") +
            (hasDisplay ? display : wayland) + "\".";
    return nullptr;
  }
  if (!wxTheApp->CallOnInit()) {
    wxEntryCleanup();
    error = "Orvanta could not start its window toolkit.";
    return nullptr;
  }
  return std::unique_ptr<WxSession>(new WxSession(std::move(dataFolder), std::move(arguments)));
}

WxSession::WxSession(std::filesystem::path dataFolder, std::unique_ptr<StartArguments> arguments)
    : dataFolder_(std::move(dataFolder)), arguments_(std::move(arguments)) {
  wxTheApp->SetExitOnFrameDelete(false);
  wxTheApp->SetAppName("orvanta");
  wxTheApp->SetAppDisplayName(ToWx(kProgramTitle));
  // wx owns the handlers and the log target it is given and deletes them at clean-up.
  wxInitAllImageHandlers();
  delete wxLog::SetActiveTarget(new wxLogStderr());
  wxSetAssertHandler(ReportWxAssertion);

  loop_ = std::make_unique<wxGUIEventLoop>();
  wxEventLoopBase::SetActive(loop_.get());

  dotsPerInch_ = gtk::ScreenDotsPerInch().value_or(dotsPerInch_);
  gtk::InstallCompactStyle();
  for (int size : {16, 32, 48}) {
    if (const wxBitmap icon = ProgramIcon(size); icon.IsOk()) {
      wxIcon converted;
      converted.CopyFromBitmap(icon);
      icons_.AddIcon(converted);
    }
  }
}

WxSession::~WxSession() {
  OnKeyReleased({});
  wxTheApp->ProcessPendingEvents();
  wxTheApp->ProcessIdle();  // deletes the destroyed frames while their handlers can still run
  wxEventLoopBase::SetActive(nullptr);
  loop_.reset();
  icons_ = wxIconBundle();
  wxEntryCleanup();
}

wxBitmap WxSession::ProgramIcon(int size) const {
  const std::filesystem::path file =
      dataFolder_ / "icons" / ("orvanta-" + std::to_string(size) + ".png");
  wxLogNull quiet;  // a missing icon leaves the window without one, nothing more
  wxImage image;
  if (!std::filesystem::exists(file) || !image.LoadFile(ToWx(file.string()), wxBITMAP_TYPE_PNG)) {
    return wxBitmap();
  }
  return wxBitmap(image);
}

void WxSession::OnKeyReleased(std::function<void(wxKeyEvent&)> handler) {
  static_cast<GameApp*>(wxTheApp)->OnKeyReleased(std::move(handler));
}

}  // namespace orvanta::ui::wx
