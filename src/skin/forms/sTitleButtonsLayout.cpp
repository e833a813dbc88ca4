#include "skin/forms/sTitleButtonsLayout.h"

#include <algorithm>

#include "skin/model/sSkinModel.h"

namespace kv {

namespace {

constexpr int MissingMaskSize = 21;
// Room between the standard buttons and the first user button.
constexpr int UserButtonsGap = 8;

int Gap(const TsFrameGeometry& g) { return g.UsesBorderIconSpacing() ? g.Skin.BISpace : 0; }

bool HasHelp(const TsFrameGeometry& g) { return (g.State.Form.BorderIcons & biHelp) != 0; }

bool Minimized(const TsFrameGeometry& g) { return g.State.Form.WindowState == wsMinimized; }

// The maximise record's own mask becomes "BICONNORM" on a maximised form,
// so its width is the restore mask's then.
int MaxButtonWidth(const TsFrameGeometry& g, const TsTitleButtonMetrics& m) {
  return g.IsMaximized() ? m.Restore : m.Max;
}

}  // namespace

TsTitleButtonMasks LoadTitleButtonMasks(bool large, bool mdiMainForm, const TsMaskLookup& mask) {
  TsTitleButtonMasks m;
  auto takeLarge = [&] {
    m.Min = mask("BICONMIN");
    m.Max = mask("BICONMAX");
    m.Close = mask("BICONCLOSE");
    m.Help = mask("BICONHELP");
    m.LargeButton = true;
  };
  if (large) {
    takeLarge();
  } else {
    m.Min = mask("SICONMIN");
    m.Max = mask("SICONMAX");
    m.Close = mask("SICONCLOSE");
    m.Help = mask("SICONHELP");
    if (m.Help < 0) m.Help = mask("BICONHELP");
  }
  if (m.Close >= 0) {
    if (mdiMainForm) {
      m.MDIMin = mask("SICONMIN");
      m.MDIMax = mask("SICONMAX");
      m.MDIClose = mask("SICONCLOSE");
    }
    if (m.MDIMin < 0) {
      m.MDIMin = m.Min;
      m.MDIMax = m.Max;
      m.MDIClose = m.Close;
      m.MDILargeButton = true;
    }
  } else {
    takeLarge();
    if (mdiMainForm) {
      m.MDIMin = m.Min;
      m.MDIMax = m.Max;
      m.MDIClose = m.Close;
    }
    m.MDILargeButton = true;
  }
  m.TitleButton = mask("TITLEBUTTON");
  return m;
}

int StandardButtonWidth(const TsMaskData* mask) {
  return mask ? MaskFrameWidth(*mask) : MissingMaskSize;
}

int StandardButtonHeight(const TsMaskData* closeMask) {
  return closeMask ? MaskStateHeight(*closeMask) : MissingMaskSize;
}

std::optional<int> TitleButtonGlowMargin(const TsSkinData& data, int hitCode) {
  switch (hitCode) {
    case TitleHit::Close:
      return data.BICloseGlowMargin;
    case TitleHit::MaxButton:
      return data.BIMaxGlowMargin;
    case TitleHit::MinButton:
      return data.BIMinGlowMargin;
    default:
      return std::nullopt;
  }
}

TsTitleButtonMetrics StandardTitleMetrics(const TsSkinModel& skin, const TsTitleButtonMasks& masks,
                                          int restoreMask) {
  auto mask = [&](int index) -> const TsMaskData* {
    return skin.IsMaskIndexValid(index) ? &skin.MaskData[static_cast<size_t>(index)] : nullptr;
  };
  TsTitleButtonMetrics m;
  m.Close = StandardButtonWidth(mask(masks.Close));
  m.Max = StandardButtonWidth(mask(masks.Max));
  m.Restore = StandardButtonWidth(mask(restoreMask));
  m.Min = StandardButtonWidth(mask(masks.Min));
  m.Help = StandardButtonWidth(mask(masks.Help));
  m.Height = StandardButtonHeight(mask(masks.Close));
  m.UserMask = StandardButtonWidth(mask(masks.TitleButton));
  m.LargeButton = masks.LargeButton;
  m.CloseMask = mask(masks.Close) != nullptr;
  m.HelpMask = mask(masks.Help) != nullptr;
  return m;
}

int UserButtonWidth(const TsUserTitleButton& button, const TsTitleButtonMetrics& m) {
  const int glyph = button.GlyphWidth > 0 ? button.GlyphWidth + 2 : 0;
  return std::max(glyph, m.UserMask);
}

int VisibleStandardButtons(const TsFrameGeometry& g) {
  const TsFormState& f = g.State.Form;
  if (!VisibleClose(f)) return 0;
  return 1 + (VisibleMax(f) ? 1 : 0) + (VisibleMin(f) ? 1 : 0) + (HasHelp(g) ? 1 : 0);
}

int TitleButtonsWidth(const TsFrameGeometry& g, const TsTitleButtonMetrics& m,
                      std::span<const TsUserTitleButton> users) {
  const TsFormState& f = g.State.Form;
  const int gap = Gap(g);
  int width = g.Skin.BIRight;
  if (VisibleClose(f)) {
    width += m.Close;
    if (VisibleMax(f)) width += MaxButtonWidth(g, m) + gap;
    if (VisibleMin(f)) width += m.Min + gap;
    if (HasHelp(g)) width += m.Help + gap;
  }
  if (!users.empty()) width += UserButtonsGap;
  // A hidden user button keeps its room: the caption does not move when a
  // program shows and hides it.
  for (const TsUserTitleButton& user : users) width += UserButtonWidth(user, m) + gap;
  return width;
}

int TitleButtonTop(const TsFrameGeometry& g, const TsTitleButtonMetrics& m) {
  const TsFrameSkin& skin = g.Skin;
  const bool borderForm = g.State.BorderForm;
  const bool titlesDiffer = skin.TitleHeight != skin.MaxHeight;
  int top = g.State.ShadowMargins.Top;
  if (m.LargeButton && skin.BIVAlign == 1) {
    if (g.IsMaximized()) {
      top += g.FrameBorderWidth(false) - 1;
      if (borderForm && titlesDiffer) top += skin.TitleHeight - skin.MaxHeight;
      if (borderForm && skin.BorderMode == 1) top += skin.CenterOffset;
    }
    return top;
  }
  top += (g.NonSkinFrameWidth(true) + g.TitleBarHeight(true) - m.Height) / 2;
  if (borderForm && skin.BorderMode == 1) top += skin.CenterOffset;
  if (borderForm && g.State.Form.Zoomed) {
    top -= 2;
    if (titlesDiffer) top += (skin.TitleHeight - skin.MaxHeight - skin.CenterOffset) / 2 - 2;
  }
  if (borderForm && g.IsMaximized()) top += g.FrameBorderWidth(false) / 2;
  // Small masks in a tool window's title sit a little lower.
  if (!g.UsesBorderIconSpacing() && m.Height < 16) top += 2;
  return top;
}

int TitleContentTop(const TsFrameGeometry& g, const TsTitleButtonMetrics& m,
                    std::span<const TsUserTitleButton> users, int captionHeight) {
  int top = CentredRows(g.CaptionTextRect(0, false), captionHeight).Top;
  if (g.ShowsTitleIcon()) top = std::min(top, g.TitleIconRect().Top);
  if (!PlaceTitleButtons(g, m, users).empty()) top = std::min(top, TitleButtonTop(g, m));
  return top;
}

std::vector<TsPlacedTitleButton> PlaceTitleButtons(const TsFrameGeometry& g,
                                                   const TsTitleButtonMetrics& m,
                                                   std::span<const TsUserTitleButton> users) {
  std::vector<TsPlacedTitleButton> placed;
  if (!g.HasTitleBar()) return placed;
  const TsFormState& f = g.State.Form;
  const int gap = Gap(g);
  const int top = TitleButtonTop(g, m);
  int x = g.FrameWidth() - g.Skin.BIRight - g.State.ShadowMargins.Right - g.FrameBorderWidth(true);
  auto place = [&](int hitCode, TsTitleMask mask, bool enabled, int width) {
    placed.push_back({hitCode, mask, enabled, Rect(x - width, top, x, top + m.Height)});
    x -= width + gap;
  };
  if (VisibleClose(f)) {
    if (m.CloseMask) place(TitleHit::Close, TsTitleMask::Close, true, m.Close);
    if (VisibleMax(f)) {
      if (g.IsMaximized())
        place(TitleHit::MaxButton, TsTitleMask::Restore, EnabledRestore(f), m.Restore);
      else
        place(TitleHit::MaxButton, TsTitleMask::Max, EnabledMax(f), m.Max);
    }
    if (VisibleMin(f)) {
      if (Minimized(g))
        place(TitleHit::MinButton, TsTitleMask::Restore, EnabledRestore(f), m.Min);
      else
        place(TitleHit::MinButton, TsTitleMask::Min, EnabledMin(f), m.Min);
    }
    if (HasHelp(g) && m.HelpMask) place(TitleHit::Help, TsTitleMask::Help, true, m.Help);
  }
  if (users.empty()) return placed;
  x -= UserButtonsGap;
  for (size_t i = 0; i < users.size(); ++i) {
    if (!users[i].Visible) continue;
    place(TitleHit::FirstUser + static_cast<int>(i), TsTitleMask::User, users[i].Enabled,
          UserButtonWidth(users[i], m));
  }
  return placed;
}

std::array<TsPlacedTitleButton, 3> MDIChildButtons(const TsFrameGeometry& g, TSize button) {
  const int top = g.TitleBandBottom() + (g.MenuHeight() - button.cy) / 2;
  const int right = g.FrameWidth() - g.FrameBorderWidth(true) - g.State.ShadowMargins.Right;
  auto at = [&](int hitCode, TsTitleMask mask, int fromRight) {
    return TsPlacedTitleButton{hitCode, mask, true,
                               Bounds(right - fromRight, top, button.cx, button.cy)};
  };
  const int w = button.cx + 1;
  return {at(TitleHit::MDIMinimize, TsTitleMask::Min, 3 * w),
          at(TitleHit::MDIRestore, TsTitleMask::Restore, 2 * w),
          at(TitleHit::MDIClose, TsTitleMask::Close, w)};
}

int TitleButtonDrawMode(bool formActive, bool enabled, int state, bool animating) {
  return (!formActive || !enabled) && (state == 0 || animating) ? 2 : 1;
}

int StandardTitleMask(const TsTitleButtonMasks& masks, int restoreMask, TsTitleMask kind) {
  switch (kind) {
    case TsTitleMask::Close:
      return masks.Close;
    case TsTitleMask::Max:
      return masks.Max;
    case TsTitleMask::Restore:
      return restoreMask;
    case TsTitleMask::Min:
      return masks.Min;
    case TsTitleMask::Help:
      return masks.Help;
    case TsTitleMask::User:
      break;
  }
  return -1;
}

}  // namespace kv
