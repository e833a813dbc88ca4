#include "app/Message_Frm_win.h"

#include <windows.h>

#include "app/BasicAnimate_Frm_win.h"
#include "app/ConstLang_Unt.h"
#include "app/Funs_Unt.h"

namespace kv {

TFormMessage* FormMessage = nullptr;

namespace {

constexpr int FormClientWidth = 391;
constexpr int FormClientHeight = 152;
constexpr int BevelHeight = 56;
constexpr int ButtonWidth = 90;
constexpr int ButtonHeight = 30;

TCustomForm* MessageFormMainWindow = nullptr;

// Lives among the main window's components, so that the main window's end
// is noticed here.
class TMainWindowLink : public TComponent {
 public:
  using TComponent::TComponent;
  ~TMainWindowLink() override {
    if (MessageFormMainWindow != nullptr && MessageFormMainWindow == linked_)
      MessageFormMainWindow = nullptr;
  }
  void Link(TCustomForm* form) { linked_ = form; }

 private:
  TCustomForm* linked_ = nullptr;
};

}  // namespace

TFormMessage::TFormMessage(TComponent* owner) : TForm(owner) {}

TFormMessage::~TFormMessage() {
  if (FormMessage == this) FormMessage = nullptr;
}

void TFormMessage::AfterConstruction() {
  SetName("FormMessage");
  SetCaption("");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu);
  SetPosition(poOwnerFormCenter);
  ApplyProgramFormLook(*this);
  SetClientWidth(FormClientWidth);
  SetClientHeight(FormClientHeight);

  lbl_Info = Create<TsLabel>(this);
  lbl_Info->SetName("lbl_Info");
  lbl_Info->SetParent(this);
  lbl_Info->SetAutoSize(false);
  lbl_Info->SetWordWrap(true);
  lbl_Info->SetBounds(16, 16, FormClientWidth - 32, FormClientHeight - BevelHeight - 24);

  Bevel = Create<TsBevel>(this);
  Bevel->SetName("Bevel");
  Bevel->SetParent(this);
  Bevel->SetShape(bsTopLine);
  Bevel->SetBounds(0, FormClientHeight - BevelHeight, FormClientWidth, BevelHeight);
  Bevel->SetAlign(alBottom);

  sbtbtn_Ok = Create<TsBitBtn>(this);
  sbtbtn_Ok->SetName("sbtbtn_Ok");
  sbtbtn_Ok->SetParent(this);
  sbtbtn_Ok->SetCaption("OK");
  sbtbtn_Ok->SetBounds((FormClientWidth - ButtonWidth) / 2,
                       FormClientHeight - BevelHeight + (BevelHeight - ButtonHeight) / 2,
                       ButtonWidth, ButtonHeight);
  sbtbtn_Ok->OnClick = [this](TObject* sender) { sbtbtn_OkClick(sender); };

  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  TForm::AfterConstruction();
}

void TFormMessage::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  // Owned by the main window: always above it, never lost behind it.
  if (TCustomForm* main = MainWindow(); main != nullptr && main->HandleAllocated())
    params.WndParent = main->Handle();
}

namespace {

// True while a dialog runs its modal loop (it disabled the other windows
// and enables them again when it closes).
bool ModalFormShown() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if ((Screen->Forms(i)->FormState() & fsModal) != 0) return true;
  return false;
}

}  // namespace

TCustomForm* TFormMessage::MainWindow() const { return dynamic_cast<TCustomForm*>(Owner()); }

void TFormMessage::EnableMainWindow() {
  TCustomForm* main = MainWindow();
  if (main == nullptr || main->HasState(csDestroying)) return;
  // A running block loop keeps the main window disabled until it ends; a
  // modal dialog gives it back itself when it closes.
  if (TFormBasicAnimate::AnyShown() || ModalFormShown()) return;
  main->SetEnabled(true);
}

void TFormMessage::sbtbtn_OkClick(TObject*) {
  Hide();
  EnableMainWindow();
}

void TFormMessage::FormClose(TObject*, TCloseAction&) { EnableMainWindow(); }

void SetMessageFormMainWindow(TCustomForm* mainWindow) {
  MessageFormMainWindow = mainWindow;
  if (mainWindow == nullptr) return;
  auto* link = Create<TMainWindowLink>(mainWindow);
  link->Link(mainWindow);
}

void ShowMessageForm(const std::string& text, const std::string& caption) {
  if (FormMessage == nullptr) {
    TComponent* owner = MessageFormMainWindow;
    if (owner == nullptr) owner = Application;
    FormMessage = Create<TFormMessage>(owner);
  }
  FormMessage->SetCaption(caption.empty() ? Application->Name() : caption);
  FormMessage->lbl_Info->SetCaption(text);
  FormMessage->Show();
  RaiseMessageForm();
  if (ModalFormShown()) return;
  if (auto* main = dynamic_cast<TCustomForm*>(FormMessage->Owner())) main->SetEnabled(false);
}

bool RaiseMessageForm() {
  if (FormMessage == nullptr || !FormMessage->Visible() || !FormMessage->HandleAllocated())
    return false;
  // Whichever window was active when it showed, the message is what the user
  // must answer next: in front and taking the keys and clicks.
  const HWND wnd = FormMessage->Handle();
  SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(wnd);
  SetActiveWindow(wnd);
  return true;
}

}  // namespace kv
