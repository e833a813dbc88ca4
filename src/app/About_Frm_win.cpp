#include "app/About_Frm_win.h"

#include <windows.h>

#include <memory>

#include "app/Funs_Unt.h"
#include "classlib/Resources.h"

namespace kv {

namespace {

constexpr int PictureWidth = 360;
constexpr int PictureHeight = 180;
constexpr int Margin = 12;
constexpr int ButtonWidth = 88;
constexpr int ButtonHeight = 28;

}  // namespace

TFormAbout::TFormAbout(TComponent* owner) : TForm(owner) {}

void TFormAbout::AfterConstruction() {
  SetName("FormAbout");
  ApplyProgramFormLook(*this);
  SetCaption("About");
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetPosition(poOwnerFormCenter);
  SetClientWidth(PictureWidth + 2 * Margin);
  SetClientHeight(PictureHeight + 3 * Margin + ButtonHeight);

  imgAbout = Create<TImage>(this);
  imgAbout->SetName("imgAbout");
  imgAbout->SetParent(this);
  imgAbout->SetBounds(Margin, Margin, PictureWidth, PictureHeight);
  imgAbout->SetCenter(true);
  if (HINSTANCE module = GetModuleHandleW(nullptr); ResourceExists(module, "ABOUT", RT_BITMAP_W)) {
    auto picture = std::make_unique<TBitmapImage>();
    picture->LoadFromResourceName(module, "ABOUT");
    imgAbout->Picture().SetGraphic(std::move(picture));
  }

  const auto hiddenLabel = [this](const char* name) {
    auto* label = Create<TsLabel>(this);
    label->SetName(name);
    label->SetParent(this);
    label->SetVisible(false);
    label->SetCaption("");
    return label;
  };
  lbl_Product = hiddenLabel("lbl_Product");
  lbl_Copyright = hiddenLabel("lbl_Copyright");

  btn_OK = Create<TsBitBtn>(this);
  btn_OK->SetName("btn_OK");
  btn_OK->SetParent(this);
  btn_OK->SetCaption("OK");
  btn_OK->SetBounds(PictureWidth + Margin - ButtonWidth, PictureHeight + 2 * Margin, ButtonWidth,
                    ButtonHeight);
  btn_OK->SetDefault(true);
  btn_OK->SetCancel(true);
  btn_OK->OnClick = [this](TObject*) { Close(); };
  TForm::AfterConstruction();
}

bool TFormAbout::HasPicture() { return imgAbout->Picture().Graphic() != nullptr; }

}  // namespace kv
