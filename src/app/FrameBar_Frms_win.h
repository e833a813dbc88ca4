// The side bar's frame windows: one small borderless window per side-bar
// item, opened under the item's title, with buttons that select the pages of
// the main window. The main window makes them when an item opens.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/ImgList.h"
#include "skin/controls/sBitBtn_win.h"

namespace kv {

// Selects the main window's pages (PageControl, PageControlMain,
// PageControl_DIDOTH; -1 leaves one as it is).
using TSelectPagesEvent = std::function<void(int page, int mainPage, int doThPage)>;

class TsSkinManager;
class TsSkinProvider;

// What every frame window shares: a column of buttons, each selecting pages,
// on a borderless form filling the frame; the form carries its own skin
// manager, never the default, and provider.
class TSideBarFrame : public TFrame {
 public:
  explicit TSideBarFrame(TComponent* owner);

  TSelectPagesEvent OnSelectPages;
  TForm* Form = nullptr;
  TsSkinManager* sknmngr = nullptr;
  TsSkinProvider* sknprvdr = nullptr;

  // Sets the button captions for a language (the Lang_ texts, already
  // assigned for it, or the caption table of the frame buttons).
  virtual void SetCaptions(int /*language*/) {}
  // The buttons in the order they were added, hidden ones included.
  const std::vector<TsBitBtn*>& Buttons() const { return buttons_; }
  // The button named name, or nullptr.
  TsBitBtn* FindButton(std::string_view name) const;

 protected:
  // Adds a button under the visible ones; a hidden button keeps its place in
  // Buttons() but takes no room.
  TsBitBtn* AddButton(const char* name, int page, int mainPage, int doThPage,
                      TCustomImageList* images = nullptr, int imageIndex = -1, bool visible = true);
  // A caption from the caption table of the frame buttons.
  static void SetTableCaption(TsBitBtn* button, int language);

 private:
  std::vector<TsBitBtn*> buttons_;
  int nextTop_ = 0;
};

class TFormBasice : public TSideBarFrame {
 public:
  TFormBasice(TComponent* owner, TCustomImageList* images);
  void SetCaptions(int language) override;
  TsBitBtn* btn_Basic = nullptr;
};

class TFormDIDOTH : public TSideBarFrame {
 public:
  explicit TFormDIDOTH(TComponent* owner);
  void SetCaptions(int language) override;
  TsBitBtn* btn_DO = nullptr;
  TsBitBtn* btn_TH = nullptr;
};

class TFormPhoneMrg : public TSideBarFrame {
 public:
  TFormPhoneMrg(TComponent* owner, TCustomImageList* images);
  void SetCaptions(int language) override;
  TsBitBtn* btn_Phone = nullptr;
};

class TFormTimeDebug : public TSideBarFrame {
 public:
  explicit TFormTimeDebug(TComponent* owner);
  void SetCaptions(int language) override;
  TsBitBtn* btn_Time = nullptr;
};

class TFormSMSMode : public TSideBarFrame {
 public:
  TFormSMSMode(TComponent* owner, TCustomImageList* images);
  void SetCaptions(int language) override;
  TsBitBtn* btn_GPRS = nullptr;
  TsBitBtn* btn_Ethnet = nullptr;  // hidden
  TsBitBtn* btn_Debug = nullptr;   // hidden
};

class TFormHistory : public TSideBarFrame {
 public:
  explicit TFormHistory(TComponent* owner);
  void SetCaptions(int language) override;
  TsBitBtn* btn_History = nullptr;
};

}  // namespace kv
