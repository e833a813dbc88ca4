// The skinned frame's geometry, apart from any window: border widths and
// title height for every kind of form, the client's place in the frame
// cache, the title icon, the menu line, the size grip and the maximised
// placement. The provider fills the state from its window and asks here.
#pragma once

#include <span>

#include "base/Types.h"
#include "skin/forms/sSystemMenuRules.h"
#include "skin/model/sMaskData.h"

namespace kv {

// The system metrics the frame falls back on (GetSystemMetrics).
struct TsSystemFrameMetrics {
  int CxFrame = 4;       // SM_CXFRAME
  int CxDlgFrame = 3;    // SM_CXDLGFRAME
  int CyCaption = 19;    // SM_CYCAPTION
  int CySmCaption = 15;  // SM_CYSMCAPTION
  int CyMenu = 19;       // SM_CYMENU
};

// The skin's values for the frame (section "GLOBALINFO").
struct TsFrameSkin {
  int BorderWidth = 4;   // BORDERWIDTH
  int TitleHeight = 30;  // TITLEHEIGHT
  int MaxHeight = 30;    // MAXHEIGHT, already TITLEHEIGHT when the skin gives 0
  int CenterOffset = 0;  // CENTEROFFSET
  int BorderMode = 0;    // BORDERMODE; 1: the border form draws the borders
  int BISpace = 0;       // BISPACE
  int BIVAlign = 0;      // BIVALIGN
  int BIRight = 0;       // BIRIGHT
  int BILeft = 0;        // BILEFT
};
TsFrameSkin FrameSkinOf(const TsSkinData& skin);

// What the geometry reads of the form and its window.
struct TsFrameState {
  TsFormState Form;
  bool CaptionStyle = true;               // both WS_CAPTION bits
  bool ThickFrame = true;                 // WS_THICKFRAME
  bool BorderBit = true;                  // WS_BORDER
  int Width = 0, Height = 0;              // the window
  int ClientWidth = 0, ClientHeight = 0;  // its client area
  int BorderWidth = 0;                    // the form's own BorderWidth
  bool BorderForm = false;                // a companion window draws the extended borders
  TRect ShadowMargins{};                  // left, top, right, bottom; 0 without a border form
  bool MaximisedTitle = false;
  bool HasMenu = false;          // a main menu is assigned
  bool MenuItemVisible = false;  // one of its top items (or the active MDI child's) is visible
  int MenuLineCount = 1;
  bool ShowAppIcon = true;
  bool HasSystemMenu = true;  // GetSystemMenu gives a menu
  TSize TitleIconSize{};      // TitleIcon's Width and Height; 0 derives them
  int VScrollWidth = 0;       // a visible skinned vertical scroll bar
  int HScrollHeight = 0;      // a visible skinned horizontal scroll bar
};

class TsFrameGeometry {
 public:
  TsFrameState State;
  TsFrameSkin Skin;
  TsSystemFrameMetrics Sys;

  bool HasTitleBar() const;  // captioned, an MDI child or iconic
  bool IsMaximized() const { return State.Form.WindowState == wsMaximized; }
  bool UsesBorderIconSpacing() const;  // bsSingle and bsSizeable: large buttons, BISPACE gaps

  int FrameBorderWidth(bool useSkin) const;
  int NonSkinFrameWidth(bool useSkin) const;
  int SkinTitleHeight() const;
  int SkinFrameWidth() const;
  int ExtraTitleHeight() const;
  int ExtraBorderWidth() const;
  int TitleBarHeight(bool useSkin) const;
  int SideBorderWidth(bool useSkin) const;
  int BottomBorderWidth(bool useSkin) const;
  int CaptionHeight() const;
  int FrameWidth() const;        // the frame cache's width
  int FrameCacheHeight() const;  // and its height

  int MenuHeight() const;
  bool HasVisibleMenu() const;
  int MenuLinesHeight() const;  // M: every menu line, 0 without a visible menu

  int ClientLeftOffset() const;
  int ClientTopOffset() const;
  TRect ClientRect() const;     // in the frame cache
  int TitleBandBottom() const;  // N + T + top shadow margin
  // The frame in the cache, inside the shadow margins a border form adds,
  // and its title band (the shadow is painted round both).
  TRect FrameRect() const;
  TRect TitleBandRect() const;
  int MenuBandBottom() const;  // and the menu lines below it

  bool ShowsTitleIcon() const;
  int TitleIconWidth() const;
  int TitleIconHeight() const;
  TRect TitleIconRect() const;
  // Where the caption is written, left of title buttons `buttonsWidth`
  // wide; a "CAPTION" plate behind the text moves it 2 pixels right.
  TRect CaptionTextRect(int buttonsWidth, bool captionPlate) const;

  // Cache point = window point + this offset (0 without a border form).
  TPoint CacheOffset() const;

  // Top-left of a size grip mask of that size in the frame cache.
  TPoint GripPosition(TSize gripMask) const;

  // The region of a window width x height whose frame a border window
  // draws: the client and the menu bar, without the system's frame and title.
  TRect BorderFormRegion(int width, int height) const;
};

// Rows of that height centred in r, as the title's texts are written.
TRect CentredRows(TRect r, int height);

// How many lines the main menu's top items (their widths, in order) take
// on the menu line.
int CountMenuLines(const TsFrameGeometry& g, std::span<const int> itemWidths);

// The maximised form's place (WM_GETMINMAXINFO) and the window region that
// goes with it. MaxPosition is relative to the monitor, like the record's.
// g is the form's geometry maximised; titleContentTop is the first row of
// its title that holds the icon, the caption or a title button.
struct TsMaxPlacement {
  TPoint MaxPosition;
  TPoint MaxSize;
  TRect Region;  // visible part, in window coordinates
};
TsMaxPlacement UpdateMaxInfo(const TsFrameGeometry& g, const TRect& monitor, const TRect& workArea,
                             int titleContentTop);

}  // namespace kv
