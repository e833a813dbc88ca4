// The side bar: a vertical stack of title buttons, one per item, under each
// of which the item's frame opens. Frames are made only when their item first
// opens (OnCreateFrame) and freed when it closes (OnFrameDestroy may keep
// them). A title click slides the frames in four passes; every other change
// arranges at once.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "skin/controls/sScrollBox_win.h"
#include "skin/controls/sSpeedButton_win.h"

namespace kv {

class TsFrameBar;
class TsTitleItem;
class TCustomImageList;

using TCreateFrameEvent = std::function<void(TObject* Sender, TCustomFrame*& Frame)>;
using TFrameDestroyEvent =
    std::function<void(TObject* Sender, TCustomFrame*& Frame, bool& CanDestroy)>;

enum TTitleState { stClosed = 0, stOpened = 1, stClosing = 2, stOpening = 3 };

class TsTitles {
 public:
  explicit TsTitles(TsFrameBar* bar) : bar_(bar) {}
  TsTitleItem* Add();
  // Frees the item; the bar closes the gap at once.
  void Delete(int index);
  int Count() const { return static_cast<int>(items_.size()); }
  TsTitleItem* GetItem(int index) const;
  TsTitleItem* operator[](int index) const { return GetItem(index); }
  TsFrameBar* GetOwner() const { return bar_; }

 private:
  friend class TsFrameBar;
  friend class TsTitleItem;
  TsFrameBar* bar_;
  std::vector<std::unique_ptr<TsTitleItem>> items_;
};

class TsFrameBar : public TsScrollBox {
 public:
  // The bar's own title button; nested so that it never meets the form
  // provider's title-button record of the same name.
  class TsTitleButton;

  explicit TsFrameBar(TComponent* owner);
  ~TsFrameBar() override;

  TsTitles* Items() { return &items_; }
  int TitleHeight() const { return titleHeight_; }
  void SetTitleHeight(int value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images);
  bool AllowAllClose() const { return allowAllClose_; }
  void SetAllowAllClose(bool value) { allowAllClose_ = value; }
  // On: any number of items open at once (and no automatic frame size).
  bool AllowAllOpen() const { return allowAllOpen_; }
  void SetAllowAllOpen(bool value);
  // On: the one open frame takes all the height the titles leave.
  bool AutoFrameSize() const { return autoFrameSize_; }
  void SetAutoFrameSize(bool value);
  // Frames slide open and closed in four passes after a title click.
  bool Animation() const { return animation_; }
  void SetAnimation(bool value) { animation_ = value; }
  // The gap around the items and between titles and frames; a change makes
  // the window again. Not the window's own non-client border.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  bool Arranging() const { return arranging_; }

  // Lays the titles and open frames out from the top: in four passes,
  // sliding the frames, when animated.
  void Arrange(bool animated = false);
  // The click on an item's title: opens it (closing the others) or closes it.
  void TitleClick(TsTitleItem* item);

 protected:
  void Loaded() override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TsTitleItem;
  friend class TsTitles;
  TRect ItemsArea();
  // What the sunken edge of bsSingle adds to the border round the titles.
  int EdgeInset() const;
  // Height the open frame gets with AutoFrameSize; never below 0.
  int AvailableHeight(const TRect& area) const;
  // Makes the item's frame when it has none (the handler's, else the
  // placeholder); shows its bottom `shown` pixels under the title (all of it
  // for -1), hides it for 0. False when there is no frame.
  bool PlaceFrame(TsTitleItem* item, int x, int y, int width, int shown);
  TCustomFrame* CreatePlaceholderFrame();
  // Offers the frame to OnFrameDestroy; freed unless refused, else hidden.
  void DestroyFrame(TsTitleItem* item);
  // One pass over the items; false when the items changed under it.
  bool ArrangePass(int step, int lastStep, const TRect& area, int& bottom);
  void UpdateWidths();
  // The title button of a deleted item: freed at once, or, while its own
  // click runs, once that is over.
  void FreeTitleButton(TsTitleButton* button);
  void RunTitleClick(TsTitleItem* item, const TLifeToken& life);

  TsTitles items_{this};
  int titleHeight_ = 28;
  int spacing_ = 2;
  int borderWidth_ = 2;
  TCustomImageList* images_ = nullptr;
  bool allowAllClose_ = false;
  bool allowAllOpen_ = false;
  bool autoFrameSize_ = false;
  bool animation_ = true;
  bool arranging_ = false;
  bool destroying_ = false;
  // Grows with every change of the items, so that an arrangement that let
  // messages run can tell its list is stale.
  unsigned generation_ = 0;
  // The title button whose click runs now, and the buttons of items that
  // click deleted, freed when it is over.
  TsTitleButton* clicking_ = nullptr;
  std::vector<TsTitleButton*> leftButtons_;
};

// The title button of an item; Active while its item is open.
class TsFrameBar::TsTitleButton : public TsSpeedButton {
 public:
  TsTitleButton(TComponent* owner, TsTitleItem* item);

  TsTitleItem* Item() const { return item_; }
  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }
  // The speed button's state, or the hot look (1) for an open item at rest.
  int ButtonState() const;

 private:
  TsTitleItem* item_;
  bool active_ = false;
};

class TsTitleItem {
 public:
  explicit TsTitleItem(TsFrameBar* bar);
  ~TsTitleItem();

  TNotifyEvent OnClick;
  TCreateFrameEvent OnCreateFrame;
  TFrameDestroyEvent OnFrameDestroy;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  int Tag() const { return tag_; }
  void SetTag(int value) { tag_ = value; }
  // Kept by the title button.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  const std::string& SkinSection() const;
  void SetSkinSection(const std::string& value);
  int Margin() const;
  void SetMargin(int value);
  int Spacing() const;
  void SetSpacing(int value);
  TPopupMenu* PopupMenu() const;
  void SetPopupMenu(TPopupMenu* menu);
  // The published settings of another item (not its frame or events).
  void Assign(const TsTitleItem& source);
  TsFrameBar::TsTitleButton* Button() const { return button_; }
  TCustomFrame* Frame() const { return frame_; }
  TTitleState State() const { return state_; }
  // Height shown when open; 0 takes the frame's own height.
  int FrameHeight() const { return frameHeight_; }
  void SetFrameHeight(int value) { frameHeight_ = value; }
  int Index() const;

 private:
  friend class TsFrameBar;
  TsFrameBar* bar_;
  std::string caption_;
  int imageIndex_ = -1;
  bool visible_ = true;
  int tag_ = 0;
  TCursor cursor_ = crDefault;
  TsFrameBar::TsTitleButton* button_ = nullptr;
  TCustomFrame* frame_ = nullptr;
  TTitleState state_ = stClosed;
  int frameHeight_ = 0;
  // Gone with the item: the bar looks at it after each handler of the item,
  // which may delete its own item.
  std::shared_ptr<char> life_ = std::make_shared<char>();
};

}  // namespace kv
