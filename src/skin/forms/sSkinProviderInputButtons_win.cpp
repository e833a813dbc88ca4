// The title buttons' hot and pressed state as the non-client mouse needs it,
// laid out from the loaded skin; kept small until the frame painting keeps
// the buttons' records and draws them.
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/sSkinProvider_win.h"

namespace kv {

std::vector<TsPlacedTitleButton> TsSkinProvider::PlacedButtons() const {
  TsSkinManager* manager = SkinManager();
  if (manager == nullptr || form_ == nullptr) return {};
  const TsSkinModel& skin = manager->Skin();
  const TsFrameGeometry g = Geometry();
  auto lookup = [&](std::string_view key) { return skin.MaskIndexByNames("GLOBALINFO", key); };
  const TsTitleButtonMasks masks =
      kv::LoadTitleButtonMasks(g.UsesBorderIconSpacing(), form_->FormStyle() == fsMDIForm, lookup);
  auto mask = [&](int index) -> const TsMaskData* {
    return skin.IsMaskIndexValid(index) ? &skin.MaskData[static_cast<size_t>(index)] : nullptr;
  };
  TsTitleButtonMetrics m;
  m.Close = StandardButtonWidth(mask(masks.Close));
  m.Max = StandardButtonWidth(mask(masks.Max));
  m.Restore = StandardButtonWidth(mask(lookup("BICONNORM")));
  m.Min = StandardButtonWidth(mask(masks.Min));
  m.Help = StandardButtonWidth(mask(masks.Help));
  m.Height = StandardButtonHeight(mask(masks.Close));
  m.UserMask = StandardButtonWidth(mask(masks.TitleButton));
  m.LargeButton = masks.LargeButton;
  std::vector<TsUserTitleButton> users;
  for (const TsTitleButton& b : titleButtons_.Items) users.push_back({b.Visible, true, 0});
  return PlaceTitleButtons(g, m, users);
}

void TsSkinProvider::SetHotButton(int hitCode, bool repaint) {
  if (!drawNonClientArea_) return;
  if (hitCode == hotButton_ || (hotButton_ == -1 && hitCode == 0)) return;
  const int previous = hotButton_;
  hotButton_ = hitCode;
  pressedButton_ = 0;
  PressedButtonActive = false;
  if (!repaint) return;
  if (previous > 0) PaintTitleButton(previous);
  if (hitCode > 0) PaintTitleButton(hitCode);
}

void TsSkinProvider::SetPressedButton(int hitCode) {
  const int previous = hotButton_;
  hotButton_ = hitCode;
  if (previous > 0 && previous != hitCode) PaintTitleButton(previous);
  if (hitCode == TitleHit::MaxButton) {
    const TsFormState f = Geometry().State.Form;
    if (!EnabledMax(f) && !(f.WindowState == wsMaximized && EnabledRestore(f))) {
      hotButton_ = 0;
      return;
    }
  }
  pressedButton_ = hitCode;
  PressedButtonActive = true;
  PaintTitleButton(hitCode);
}

bool TsSkinProvider::TitleButtonIsPressed(int hitCode) const {
  return PressedButtonActive && hitCode != 0 && pressedButton_ == hitCode;
}

}  // namespace kv
