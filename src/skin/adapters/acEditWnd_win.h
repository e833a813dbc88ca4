// The edit adapter: skins an edit, memo or list box the toolkit does not
// own. It draws the border from the skin section (EDIT by default) with
// the skinned scroll bars, gives the control the skin's colours and puts
// its own back when the skin goes, redraws the border on hover and focus,
// and keeps the bars in step with everything that scrolls the content.
#pragma once

#include <windows.h>

#include <string_view>

#include "skin/adapters/acScrollWnd_win.h"

namespace kv {

class TComponent;
class TWinControl;

// The layer between scrolling and editing: refreshes, fade steps, size and
// scroll changes.
class TacBaseWnd : public TacScrollWnd {
 public:
  using TacScrollWnd::TacScrollWnd;
  void WndProc(TMessage& message) override;

 protected:
  void BaseWndProc(TMessage& message);
};

class TacEditWnd : public TacBaseWnd {
 public:
  // The skin data's section is always set: the given one, else "EDIT".
  TacEditWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);

  void SaveOriginalState() override;
  void RestoreOriginalState() override;
  void ApplySkinState() override;
  void WndProc(TMessage& message) override;

  // Used without an owner control: the section's colour (clWindow in dialog
  // mode) and the frame pen.
  TColor Color = clWindow;
  TColor FrameColor = 0;
  TColor SavedFocusColor = 0;

 protected:
  bool MakesOwnerOpaque() const override;
  // An edit's text can be long and is not the adapter's business.
  bool ReadsCaption() const override { return false; }

 private:
  bool hasFocusColor_ = false;
  // After the message went on, what follows from it.
  void AfterMessage(const TMessage& m);
  void NcPaint(TMessage& m);
  void Print(TMessage& m);
  bool EditCommand(TMessage& m);
};

// Shared by the adapters.
void FillBorderFromParent(TsCommonData* sd, int state, TacMainWnd* adapter);
// The border mask has more than one image: hover and focus look different.
bool BorderMaskHasStates(const TsCommonData* sd);
void SetOrdPropIfExists(TObject* object, std::string_view name, std::int64_t value);
// The property's colour as RGB; 0 when the class has no such property.
TColor ColorPropIfExists(TObject* object, std::string_view name);
// The first windowed control owned by component (depth first) whose window
// is wnd; null when none.
TWinControl* FindControlByHandle(HWND wnd, TComponent* component);
// Asks the top-level window to adapt its controls.
void AskTopFormToAdapt(HWND wnd);

// For list-like skinned controls: an edit adapter while the skin is usable.
void UpdateEditWndAdapter(TsCommonData* sd, TacEditWnd*& adapter);

}  // namespace kv
