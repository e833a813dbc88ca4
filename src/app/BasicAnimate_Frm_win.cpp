#include "app/BasicAnimate_Frm_win.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/Funs_Unt.h"
#include "app/Message_Frm_win.h"

namespace kv {

namespace {

constexpr int GaugeWidth = 617;
constexpr int GaugeHeight = 30;
constexpr int Margin = 16;
constexpr int ButtonWidth = 90;
constexpr int ButtonHeight = 30;
constexpr int StopImageIndex = 120;

std::vector<TFormBasicAnimate*>& Instances() {
  static std::vector<TFormBasicAnimate*> instances;
  return instances;
}

}  // namespace

TFormBasicAnimate::TFormBasicAnimate(TComponent* owner) : TForm(owner) {
  Instances().push_back(this);
}

TFormBasicAnimate::~TFormBasicAnimate() {
  auto& all = Instances();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void TFormBasicAnimate::AfterConstruction() {
  SetName("FormBasicAnimate");
  SetCaption("Process......");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu);
  SetPosition(poOwnerFormCenter);
  ApplyProgramFormLook(*this);
  SetClientWidth(GaugeWidth + 2 * Margin);
  SetClientHeight(Margin + GaugeHeight + Margin + ButtonHeight + Margin);

  sg = Create<TsGauge>(this);
  sg->SetName("sg");
  sg->SetParent(this);
  sg->SetBounds(Margin, Margin, GaugeWidth, GaugeHeight);
  sg->SetForeColor(clBlack);
  sg->SetMaxValue(0);
  sg->SetProgress(0);
  sg->SetSuffix("%");

  btn_Close = Create<TsBitBtn>(this);
  btn_Close->SetName("btn_Close");
  btn_Close->SetParent(this);
  btn_Close->SetBounds((GaugeWidth + 2 * Margin - ButtonWidth) / 2, Margin + GaugeHeight + Margin,
                       ButtonWidth, ButtonHeight);
  btn_Close->SetCaption("Stop");
  btn_Close->SetImageIndex(StopImageIndex);
  btn_Close->OnClick = [this](TObject* sender) { btn_CloseClick(sender); };

  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
  TForm::AfterConstruction();
}

void TFormBasicAnimate::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  // Owned by the main window, so that it stays above it whatever the
  // application's main form is.
  if (TCustomForm* main = MainWindow(); main != nullptr && main->HandleAllocated())
    params.WndParent = main->Handle();
}

TCustomForm* TFormBasicAnimate::MainWindow() const { return dynamic_cast<TCustomForm*>(Owner()); }

bool TFormBasicAnimate::AnyShown() {
  return std::any_of(Instances().begin(), Instances().end(), [](TFormBasicAnimate* form) {
    return form->Visible() && !form->HasState(csDestroying);
  });
}

void TFormBasicAnimate::Cancel(bool windowGoing) {
  if (OnCancel) OnCancel(windowGoing);
}

void TFormBasicAnimate::FormShow(TObject*) {
  if (TCustomForm* main = MainWindow()) main->SetEnabled(false);
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TFormBasicAnimate::btn_CloseClick(TObject*) {
  // The main window comes back at once, before the loop notices the flag.
  Hide();
  if (TCustomForm* main = MainWindow()) main->SetEnabled(true);
  Cancel(false);
}

namespace {

// The main window comes back to the front, or the message that went up
// while this window was showing does, over the main window still disabled.
void ReturnToMainWindow(TCustomForm* main) {
  if (RaiseMessageForm()) return;
  main->SetEnabled(true);
  if (main->HandleAllocated()) BringWindowToTop(main->Handle());
}

}  // namespace

void TFormBasicAnimate::FormClose(TObject*, TCloseAction&) {
  if (TCustomForm* main = MainWindow()) ReturnToMainWindow(main);
  Cancel(false);
}

void TFormBasicAnimate::FormDestroy(TObject*) {
  // Freed with the main window (which drops its owned components before
  // freeing them): nothing there to enable or tell any more.
  TCustomForm* main = MainWindow();
  if (main == nullptr || main->HasState(csDestroying)) return;
  ReturnToMainWindow(main);
  Cancel(true);
}

}  // namespace kv
