// The MDI side of a form provider: the MDI client's adapter, the client's
// place painted with "MDIAREA" in the frame picture, and the three buttons
// of a maximised MDI child in the menu line (hit codes 101-103).
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "base/Classes.h"
#include "skin/adapters/acMDIWnd_win.h"
#include "skin/forms/sSkinProvider_win.h"

namespace kv {

class TsMDIForm : public TPersistent, public TacMDIProviderLink {
 public:
  explicit TsMDIForm(TsSkinProvider* provider);
  ~TsMDIForm() override;

  TCustomForm* Form = nullptr;
  TacMDIWnd* ClientAdapter = nullptr;
  TsSkinProvider* Provider = nullptr;

  // Makes the client adapter unless there is one already.
  void ConnectToClient();
  // A new client adapter while the provider's skin is usable, none otherwise.
  void UpdateClientAdapter();
  void RepaintProviderFrame() override;

  // --- the frame's MDI branches ---
  // The client's rectangle in the frame picture; empty without a client.
  TRect ClientPlace() const;
  void PaintMDIArea(const TsFrameGeometry& g, TBitmap* cache);
  // The active child is maximised and keeps its system menu.
  bool ShowsMDIChildButtons() const;
  // Places and draws the child's buttons on the menu line of the cache.
  void PaintChildButtons(const TsFrameGeometry& g, TBitmap* cache);
  // The buttons as last placed (none while they are not shown).
  const std::vector<TsPlacedTitleButton>& ChildButtons() const { return placed_; }
  // Draws b when it is one of the child's buttons.
  bool DrawChildButton(const TsPlacedTitleButton& b, int state);
  // The active child can be minimised (MDI minimise) or restored (MDI
  // restore); its close button always acts.
  bool ChildButtonEnabled(int hitCode) const;
  TsTitleButtonRecord* ButtonRecord(int hitCode);
  // A release over a pressed child button: the command to the active child.
  bool ChildButtonUp(int hitCode, bool pressed);
  // The child's maximised state changed since the frame was painted.
  bool FrameLooksStale() const;

  // TacMDIProviderLink
  TColor FormColor() const override;
  bool ShowAnimating() const override;
  void PaintFrameCache() override;
  bool HasBorderForm() const override;
  POINT FrameCacheOffset() const override;
  void ClearHotButton() override;
  void UpdateSystemMenu() override;
  void MDIMenuChanged() override;
  void RepaintFrameNow() override;

 private:
  void FreeClientAdapter();
  // Which child the painted buttons belong to, 0 for none.
  HWND MaximizedChild() const;
  TSize ChildButtonSize() const;
  int ChildButtonMask(int hitCode) const;

  std::array<TsTitleButtonRecord, 3> buttons_;  // minimise, restore, close
  std::vector<TsPlacedTitleButton> placed_;
  std::unique_ptr<TBitmap> strip_;  // the menu line under the buttons
  TRect stripRect_{};
  HWND paintedChild_ = nullptr;
};

}  // namespace kv
