#include "skin/forms/sSystemMenuRules.h"

namespace kv {

namespace {

bool Has(const TsFormState& f, TBorderIcons icon) { return (f.BorderIcons & icon) != 0; }

// Dialogs, borderless forms and tool windows never minimise, maximise or restore.
bool WithoutWindowButtons(TFormBorderStyle style) {
  return style == bsDialog || style == bsNone || IsToolWindowStyle(style);
}

}  // namespace

bool VisibleClose(const TsFormState& f) { return f.SysMenuStyleRemoved; }

bool VisibleMax(const TsFormState& f) {
  if (!VisibleClose(f)) return false;
  if (f.Iconic || f.MDIChild) return true;
  if (WithoutWindowButtons(f.BorderStyle)) return false;
  return Has(f, biMaximize);
}

bool VisibleMin(const TsFormState& f) {
  if (!VisibleClose(f)) return false;
  if (f.Iconic || f.MDIChild) return true;
  if (WithoutWindowButtons(f.BorderStyle)) return false;
  return Has(f, biMinimize);
}

bool EnabledMax(const TsFormState& f) {
  if (!f.MDIChild) {
    if (f.WindowState == wsMaximized) return false;
    if (f.BorderStyle != bsSingle && f.BorderStyle != bsSizeable) return false;
  }
  return Has(f, biMaximize);
}

bool EnabledMin(const TsFormState& f) { return Has(f, biMinimize) && f.WindowState != wsMinimized; }

bool EnabledRestore(const TsFormState& f) {
  return (Has(f, biMaximize) && f.WindowState != wsNormal) || f.WindowState == wsMinimized;
}

bool RestoreVisible(const TsFormState& f) {
  if (!VisibleClose(f)) return false;
  if (f.MDIChild) return true;
  return !WithoutWindowButtons(f.BorderStyle);
}

bool SizeVisible(const TsFormState& f) {
  if (f.MDIChild) return true;
  return f.BorderStyle != bsDialog && f.BorderStyle != bsNone && f.BorderStyle != bsToolWindow;
}

bool MoveEnabled(const TsFormState& f) { return f.WindowState != wsMaximized; }

bool SizeEnabled(const TsFormState& f) {
  return f.BorderStyle != bsSingle && !f.Iconic && f.WindowState == wsNormal;
}

TsSysMenuItems SysMenuItemStates(const TsFormState& f) {
  return {
      .Restore = {RestoreVisible(f), EnabledRestore(f)},
      .Move = {true, MoveEnabled(f)},
      .Size = {SizeVisible(f), SizeEnabled(f)},
      .Minimize = {VisibleMin(f), EnabledMin(f)},
      .Maximize = {VisibleMax(f), EnabledMax(f)},
      .Close = {VisibleClose(f), true},
  };
}

TsNativeSysMenuEnabled NativeSysMenuEnabled(const TsFormState& f) {
  return {
      .Restore = RestoreVisible(f) && EnabledRestore(f),
      .Move = MoveEnabled(f) && !f.Iconic,
      .Size = SizeVisible(f) && SizeEnabled(f),
      .Minimize = VisibleMin(f) && EnabledMin(f),
      .Maximize = VisibleMax(f) && EnabledMax(f),
      .Close = VisibleClose(f),
  };
}

std::string SkinSelectCaption(std::string_view skinName) {
  std::string out;
  out.reserve(skinName.size());
  for (char c : skinName) {
    if (c == '&') out += '&';
    out += c;
  }
  return out;
}

std::string SkinNameOfCaption(std::string_view caption) {
  constexpr std::string_view kInternalMark = "(internal)";
  std::string name;
  name.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      name += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      name += '&';
      ++i;
    }
  }
  if (const size_t mark = name.find(kInternalMark); mark != std::string::npos)
    name.resize(mark + kInternalMark.size());
  return name;
}

}  // namespace kv
