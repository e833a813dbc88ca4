#include "app/FrameBar_Frms_win.h"

#include "app/ConstLang_Unt.h"
#include "app/Skins_Unt_win.h"

namespace kv {

namespace {

constexpr int ButtonHeight = 32;
constexpr int FrameMargin = 4;

}  // namespace

TSideBarFrame::TSideBarFrame(TComponent* owner) : TFrame(owner) {
  SetHeight(FrameMargin);
  SetCaption("");
  Form = Create<TForm>(this);
  Form->SetName("Form");
  Form->SetBorderStyle(bsNone);
  Form->SetParent(this);
  Form->SetAlign(alClient);
  Form->SetVisible(true);
  CreateWindowSkin(Form, false, sknmngr, sknprvdr);
}

TsBitBtn* TSideBarFrame::FindButton(std::string_view name) const {
  for (TsBitBtn* button : buttons_)
    if (button->Name() == name) return button;
  return nullptr;
}

TsBitBtn* TSideBarFrame::AddButton(const char* name, int page, int mainPage, int doThPage,
                                   TCustomImageList* images, int imageIndex, bool visible) {
  auto* button = Create<TsBitBtn>(this);
  button->SetName(name);
  button->SetCaption("");
  button->SetVisible(visible);
  button->SetParent(Form);
  // Stacked from the top in the order added; the bar sets the frame's width.
  button->SetTop(nextTop_);
  button->SetHeight(ButtonHeight);
  button->SetAlign(alTop);
  if (images != nullptr) {
    button->SetImages(images);
    button->SetImageIndex(imageIndex);
  }
  button->OnClick = [this, page, mainPage, doThPage](TObject*) {
    if (OnSelectPages) OnSelectPages(page, mainPage, doThPage);
  };
  buttons_.push_back(button);
  if (visible) {
    nextTop_ += ButtonHeight;
    SetHeight(nextTop_ + FrameMargin);
  }
  return button;
}

void TSideBarFrame::SetTableCaption(TsBitBtn* button, int language) {
  if (const TCaptionText* caption = FindCaption(FrameButtonCaptions(), button->Name()))
    button->SetCaption(caption->Text(language));
}

TFormBasice::TFormBasice(TComponent* owner, TCustomImageList* images) : TSideBarFrame(owner) {
  SetName("FormBasice");
  btn_Basic = AddButton("btn_Basic", 1, 0, -1, images, 1);
  SetCaptions(LanguageFlag);
}

void TFormBasice::SetCaptions(int language) {
  btn_Basic->SetCaption(LangText("Lang_FrameBasic", language));
}

TFormDIDOTH::TFormDIDOTH(TComponent* owner) : TSideBarFrame(owner) {
  SetName("FormDIDOTH");
  btn_DO = AddButton("btn_DO", 1, 1, 0);
  btn_TH = AddButton("btn_TH", 1, 1, 1);
  SetCaptions(LanguageFlag);
}

void TFormDIDOTH::SetCaptions(int language) {
  SetTableCaption(btn_DO, language);
  SetTableCaption(btn_TH, language);
}

TFormPhoneMrg::TFormPhoneMrg(TComponent* owner, TCustomImageList* images) : TSideBarFrame(owner) {
  SetName("FormPhoneMrg");
  btn_Phone = AddButton("btn_Phone", 1, 2, -1, images, 61);
  SetCaptions(LanguageFlag);
}

void TFormPhoneMrg::SetCaptions(int language) {
  btn_Phone->SetCaption(LangText("Lang_FramePhone", language));
}

TFormTimeDebug::TFormTimeDebug(TComponent* owner) : TSideBarFrame(owner) {
  SetName("FormTimeDebug");
  btn_Time = AddButton("btn_Time", 1, 3, -1);
  SetCaptions(LanguageFlag);
}

void TFormTimeDebug::SetCaptions(int language) {
  btn_Time->SetCaption(LangText("Lang_FrameTimer", language));
}

TFormSMSMode::TFormSMSMode(TComponent* owner, TCustomImageList* images) : TSideBarFrame(owner) {
  SetName("FormSMSMode");
  btn_GPRS = AddButton("btn_GPRS", 1, 4, -1, images, 171);
  btn_Ethnet = AddButton("btn_Ethnet", 1, 4, -1, images, 172, false);
  btn_Debug = AddButton("btn_Debug", 1, 4, -1, images, 74, false);
  SetCaptions(LanguageFlag);
}

void TFormSMSMode::SetCaptions(int language) {
  SetTableCaption(btn_GPRS, language);
  SetTableCaption(btn_Ethnet, language);
  SetTableCaption(btn_Debug, language);
}

TFormHistory::TFormHistory(TComponent* owner) : TSideBarFrame(owner) {
  SetName("FormHistory");
  btn_History = AddButton("btn_History", 2, -1, -1);
  SetCaptions(LanguageFlag);
}

void TFormHistory::SetCaptions(int language) {
  btn_History->SetCaption(LangText("Lang_FrameHistory", language));
}

}  // namespace kv
