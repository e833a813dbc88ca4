// Forms of each kind as their windows would report them, with the default
// system metrics (frame 4, dialog frame 3, caption 19, small caption 15,
// menu 19).
#pragma once

#include "skin/forms/sSkinProviderGeometry.h"

namespace kv::test {

inline TsFrameGeometry Sizeable(int width = 400, int height = 300) {
  TsFrameGeometry g;
  g.State.Width = width;
  g.State.Height = height;
  g.State.ClientWidth = width - 8;
  g.State.ClientHeight = height - 19 - 8;
  return g;
}

inline TsFrameGeometry Single(TFormBorderStyle style = bsSingle) {
  TsFrameGeometry g;
  const int caption = style == bsToolWindow ? 15 : 19;
  g.State.Form.BorderStyle = style;
  g.State.ThickFrame = false;
  g.State.Width = 300;
  g.State.Height = 200;
  g.State.ClientWidth = 294;
  g.State.ClientHeight = 200 - caption - 6;
  return g;
}

inline TsFrameGeometry Borderless() {
  TsFrameGeometry g;
  g.State.Form.BorderStyle = bsNone;
  g.State.CaptionStyle = g.State.ThickFrame = g.State.BorderBit = false;
  g.State.Width = g.State.ClientWidth = 300;
  g.State.Height = g.State.ClientHeight = 200;
  return g;
}

inline TsFrameGeometry Maximised() {
  TsFrameGeometry g = Sizeable(1032, 776);
  g.State.Form.WindowState = wsMaximized;
  g.State.Form.Zoomed = true;
  return g;
}

inline TsFrameGeometry Minimised() {
  TsFrameGeometry g = Sizeable(160, 27);
  g.State.Form.WindowState = wsMinimized;
  g.State.Form.Iconic = true;
  g.State.ClientWidth = g.State.ClientHeight = 0;
  return g;
}

// The form's own BorderWidth lies outside its client area.
inline TsFrameGeometry WithBorderWidth(int borderWidth) {
  TsFrameGeometry g = Sizeable();
  g.State.BorderWidth = borderWidth;
  g.State.ClientWidth -= 2 * borderWidth;
  g.State.ClientHeight -= 2 * borderWidth;
  return g;
}

// Extended borders: a 6-pixel skinned border, a 30-pixel title and shadows.
inline TsFrameGeometry WithBorderForm() {
  TsFrameGeometry g = Sizeable();
  g.State.BorderForm = true;
  g.State.ShadowMargins = Rect(10, 8, 12, 14);
  g.Skin.BorderWidth = 6;
  g.Skin.TitleHeight = g.Skin.MaxHeight = 30;
  return g;
}

}  // namespace kv::test
