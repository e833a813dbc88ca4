// The MDI client window of a skinned MDI form: it shows the part of the
// form's frame picture that lies under it, a two-pixel edge from the same
// picture and skinned scroll bars, and keeps the form's frame in step when
// the children are tiled, cascaded or maximised or the MDI menu changes.
#pragma once

#include <windows.h>

#include <vector>

#include "skin/adapters/acEditWnd_win.h"

namespace kv {

class TCustomForm;

// What the adapter needs of the MDI form's provider. The form skinning
// implements it; the adapter never owns it.
class TacMDIProviderLink {
 public:
  virtual ~TacMDIProviderLink() = default;
  virtual TColor FormColor() const = 0;
  virtual bool ShowAnimating() const = 0;
  // The provider's frame picture made up to date.
  virtual void PaintFrameCache() = 0;
  virtual bool HasBorderForm() const = 0;
  // Where the form's window lies in the frame picture (a border form adds
  // its shadow and extra border); 0, 0 without one.
  virtual POINT FrameCacheOffset() const = 0;
  virtual void ClearHotButton() = 0;
  virtual void RepaintProviderFrame() = 0;
  virtual void UpdateSystemMenu() = 0;
  // The MDI menu changed: the menu line is counted and painted again.
  virtual void MDIMenuChanged() = 0;
  virtual void RepaintFrameNow() = 0;
};

class TacMDIWnd : public TacBaseWnd {
 public:
  TacMDIWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  ~TacMDIWnd() override;

  void RestoreOriginalState() override;
  void WndProc(TMessage& message) override;

  // Set right after creation; never owned.
  TCustomForm* Form = nullptr;
  TsCommonData* FormSkinData = nullptr;
  TacMDIProviderLink* Provider = nullptr;

  // The client's place in the frame picture.
  TRect ClientPlace() const;
  // The client background into dc: at the client's origin, or at the
  // window's when printing.
  void PaintClientBackground(HDC dc, bool printing);
  // The client edge into the client's window DC.
  void PaintClientEdge(HDC dc);

 private:
  bool FrameSkinUsable() const;
  bool ActiveChildMaximized() const;
  bool HasMDIArea() const;
  void ChildrenArranged();
  // Children whose system-menu style tiling or cascading took away; it
  // goes back when the adapter leaves.
  std::vector<HWND> strippedSysMenus_;
};

}  // namespace kv
