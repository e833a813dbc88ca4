// The skinned combo box. Its whole window, frame and button included, is
// painted from its cache; the edit part's own painting shows only while the
// user types in it. A read-only box takes the focus on a click but never
// drops down and ignores typing. With no skin loaded it paints as the plain
// combo box does.
#pragma once

#include <windows.h>

#include <memory>

#include "classlib/StdCtrls.h"
#include "skin/adapters/acComboBoxWnd_win.h"
#include "skin/controls/sSkinnedControl_win.h"

namespace kv {

class TsBoundLabel;

// The skin of a long drop-down list: the list adapter with its frame,
// colours and skinned scroll bars, hooked on list; the list redrawn with
// them when repaint.
TacComboListWnd* AttachListScrollBars(HWND list, TsCommonData* comboData, bool simple,
                                      bool repaint);

class TsCustomComboBox : public TsSkinnedControl<TCustomComboBox> {
 public:
  explicit TsCustomComboBox(TComponent* owner);
  ~TsCustomComboBox() override;

  void Dispatch(TMessage& message) override;
  // The first item whose text equals s exactly (case-sensitive); -1 when none.
  int IndexOfItem(const std::string& s);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  bool ShowButton() const { return showButton_; }
  void SetShowButton(bool value);
  TsBoundLabel* BoundLabel() const { return boundLabel_.get(); }
  // The skin of the drop-down list; null until a long list is adapted.
  TacComboListWnd* ListAdapter() const { return listAdapter_; }

  bool IsOwnerDrawn() const;
  TRect ButtonRect();
  int ButtonGlyphHeight();
  bool HasFocusOrList();

 protected:
  // Left button down: focus only when ReadOnly, otherwise the standard handling.
  virtual void WMLButtonDown(TMessage& message);
  void Invalidate() override;
  void WndProc(TMessage& m) override;
  void MessageDone(TMessage& m) override;
  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void AfterMessage(TMessage& m) override;
  void PrepareCache() override;
  void PaintToDC(HDC dc) override;
  void ComboWndProc(TMessage& m, HWND wnd) override;
  // Items of the list and, skinned, the edit part over the box's picture.
  void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
  void CreateHandleDone() override;
  void DestroyWnd() override;

 private:
  bool ReadOnlyRefuses(const TMessage& m);
  void PaintButton();
  void DrawEditText(int index, const TRect& r, UINT state);
  void DrawItemText(int index, const TRect& rect);
  // The edit part of a closed, unfocused skinned box is its picture.
  bool DrawEditItemFromCache(const DRAWITEMSTRUCT& item);
  TRect TextRect();
  UINT EditItemState();
  void FreeListAdapter();

  TAlignment alignment_ = taLeftJustify;
  TsDisabledKind disabledKind_ = dkBlended;
  bool showButton_ = true;
  // The list is open, from its drop-down and close-up news.
  bool DroppedFlag = false;
  std::unique_ptr<TsBoundLabel> boundLabel_;
  TacComboListWnd* listAdapter_ = nullptr;
  // The list asks for its colours at every paint; one brush answers.
  TBrush listBrush_;
};

class TsComboBox : public TsCustomComboBox {
 public:
  using TsCustomComboBox::TsCustomComboBox;
};

}  // namespace kv
