// The skinned menus under Wine with the synthetic skin: which menus are
// switched to the painter (and back, leaving the application's handlers), what
// items measure, what an item paints (read back by colour through the skin's
// legend), and a real pop-up menu opened under the modal probe: its "#32768"
// window is subclassed and shaped, its level cached while it is open and the
// cache dropped when it closes, with every object counter back at baseline.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/ImgList.h"
#include "classlib/WideText.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/SystemPointer.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/menus/sSkinMenus_win.h"
#include "support/Counters.h"
#include "support/ModalProbe.h"
#include "support/PlatformSeams.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kv {
namespace {

// The colour at the right end of a pop-up level's first item, clear of its
// text, read in the level's window.
COLORREF FirstItemEndColour(HWND wnd, HMENU menu) {
  RECT ir{};
  GetMenuItemRect(nullptr, menu, 0, &ir);
  POINT p{ir.right - 3, ir.top + 2};
  ScreenToClient(wnd, &p);
  HDC dc = GetDC(wnd);
  const COLORREF colour = GetPixel(dc, p.x, p.y);
  ReleaseDC(wnd, dc);
  return colour;
}

using kvtest::TTestSkin;

// A 24-bit DIB in a memory context: an item painted into it is read back.
class TDrawTarget {
 public:
  TDrawTarget(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bmp_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bmp_);
  }
  ~TDrawTarget() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HDC dc_;
  HBITMAP bmp_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// A form whose provider hands out a menu line of one colour.
class TMenuLineProvider : public TacFormProvider {
 public:
  static constexpr COLORREF kLine = RGB(0x30, 0x60, 0x90);
  TMenuLineProvider() : line_(400, 40, pf24bit) {
    for (int y = 0; y < line_.Height(); ++y)
      for (int x = 0; x < line_.Width(); ++x) {
        std::uint8_t* p = line_.ScanLine(y) + 3 * x;
        p[0] = GetBValue(kLine), p[1] = GetGValue(kLine), p[2] = GetRValue(kLine);
      }
  }
  TsSkinManager* SkinManager() const override { return DefaultManager; }
  void SetPaintingLocked(bool) override {}
  TBitmap* MenuLineBmp() const override { return &line_; }

 private:
  mutable TBitmap line_;
};

class TMenuLineForm : public TForm {
 public:
  using TForm::TForm;
  TMenuLineProvider provider;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD && HIWORD(m.WParam) == cmdGetProvider) {
      m.Result = reinterpret_cast<LRESULT>(&provider);
      return;
    }
    TForm::WndProc(m);
  }
};

class SkinMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DefaultManager, nullptr) << "a manager outlived its test";
    saved_ = FormServices();
    InstallFormServices();
  }
  void TearDown() override {
    if (form != nullptr) form->Free();
    form = nullptr;
    manager.reset();
    pump::PumpUntilIdle();
    ClearPopupCache();
    FormServices() = saved_;
  }

  void Load(bool skinnedPopups = true, const kvtest::TTestSkinOptions& options = {}) {
    skin = TTestSkin(options);
    manager = CreateOwned<TsSkinManager>();
    manager->SetSkinDirectory("c:\\NoSkins");
    manager->SetSkinnedPopups(skinnedPopups);
    TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "T";
    stored.Data = skin.Packed();
    // The program's forms belong to the application: the painter walks them.
    form = Create<TForm>(Application);
    form->SetBounds(40, 40, 300, 200);
    popup = Create<TPopupMenu>(form);
    manager->SetSkinName("T");
    ASSERT_TRUE(manager->CommonSkinData().Active);
    painter = MenuPainterOf(manager.get());
    ASSERT_NE(painter, nullptr);
  }

  TMenuItem* Add(TMenu* menu, const std::string& caption, TMenuItem* parent = nullptr) {
    auto* item = Create<TMenuItem>(form);
    item->SetCaption(caption);
    (parent != nullptr ? parent : menu->Items())->Add(item);
    return item;
  }

  // The item measured through the pop-up list window, as the system asks.
  static TSize Measure(TMenuItem* item) {
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, item->Command(), 0, 0, item->Command()};
    SendMessageW(TPopupList::Window(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    return {static_cast<int>(mis.itemWidth), static_cast<int>(mis.itemHeight)};
  }

  static void Draw(TMenuItem* item, HDC dc, RECT r, UINT state) {
    DRAWITEMSTRUCT dis{ODT_MENU, 0, item->Command(), ODA_DRAWENTIRE, state, nullptr,
                       dc,       r, item->Command()};
    SendMessageW(TPopupList::Window(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  }

  // The text extent in the menu font, as the painter measures.
  static TSize MenuTextSize(const std::string& text) {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectW(&ncm.lfMenuFont);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 1, 0};
    const std::wstring w = Wide(text);
    DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &r,
              DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return {r.right - r.left, r.bottom - r.top};
  }

  COLORREF Colour(const char* section, const char* key, int state = 0) const {
    return skin.Colour(section, key, state);
  }

  TTestSkin skin;
  Owned<TsSkinManager> manager;
  TForm* form = nullptr;
  TPopupMenu* popup = nullptr;
  TsSkinableMenus* painter = nullptr;

 private:
  TacFormServices saved_{};
};

TEST_F(SkinMenus, SwitchingKeepsTheApplicationsHandlers) {
  ASSERT_NO_FATAL_FAILURE(Load());
  // Menus made after the skin arrived are switched when it is applied again.
  TMenuItem* plain = Add(popup, "Plain");
  TMenuItem* own = Add(popup, "Own");
  TMenuItem* sub = Add(popup, "Sub", plain);
  int ownCalls = 0;
  own->OnAdvancedDrawItem = [&](TObject*, TCanvas*, TRect, TOwnerDrawState) { ++ownCalls; };
  auto* mainMenu = Create<TMainMenu>(form);
  TMenuItem* top = Add(mainMenu, "&File");
  TMenuItem* open = Add(mainMenu, "Open", top);
  FormServices().ApplySkinActive(manager.get());

  const TAdvancedMenuDrawItemEvent popupDraw(painter, &TsSkinableMenus::DrawPopupItem);
  const TAdvancedMenuDrawItemEvent topDraw(painter, &TsSkinableMenus::DrawTopLineItem);
  EXPECT_TRUE(popup->OwnerDraw());
  EXPECT_TRUE(mainMenu->OwnerDraw());
  EXPECT_TRUE(plain->OnAdvancedDrawItem == popupDraw);
  EXPECT_TRUE(sub->OnAdvancedDrawItem == popupDraw) << "sub-items are switched too";
  EXPECT_TRUE(open->OnAdvancedDrawItem == popupDraw);
  EXPECT_TRUE(top->OnAdvancedDrawItem == topDraw);
  EXPECT_NE(popup->MenuAnimation() & maNone, 0);
  EXPECT_FALSE(own->OnAdvancedDrawItem == popupDraw) << "the application's handler stays";

  manager->SetActive(false);  // the skin removed
  EXPECT_FALSE(painter->Active());
  EXPECT_FALSE(popup->OwnerDraw());
  EXPECT_FALSE(mainMenu->OwnerDraw());
  EXPECT_FALSE(plain->OnAdvancedDrawItem);
  EXPECT_FALSE(plain->OnMeasureItem);
  EXPECT_FALSE(top->OnAdvancedDrawItem);
  EXPECT_EQ(popup->MenuAnimation() & maNone, 0);
  ASSERT_TRUE(own->OnAdvancedDrawItem);
  own->OnAdvancedDrawItem(own, nullptr, {}, 0);
  EXPECT_EQ(ownCalls, 1) << "still the application's own";
}

TEST_F(SkinMenus, TheMenuLineIsSkinnedAlsoWithoutSkinnedPopups) {
  ASSERT_NO_FATAL_FAILURE(Load(false));
  auto* mainMenu = Create<TMainMenu>(form);
  TMenuItem* top = Add(mainMenu, "&File");
  TMenuItem* open = Add(mainMenu, "Open", top);
  Add(popup, "Item");
  FormServices().ApplySkinActive(manager.get());
  EXPECT_TRUE(top->OnAdvancedDrawItem ==
              TAdvancedMenuDrawItemEvent(painter, &TsSkinableMenus::DrawTopLineItem));
  EXPECT_TRUE(mainMenu->OwnerDraw()) << "the provider paints the menu line through the items";
  EXPECT_FALSE(open->OnAdvancedDrawItem) << "pop-ups stay the system's";
  EXPECT_FALSE(popup->OwnerDraw());

  manager->SetSkinnedPopups(true);
  EXPECT_TRUE(popup->OwnerDraw()) << "switched on with the skin already loaded";
  EXPECT_TRUE(open->OnAdvancedDrawItem ==
              TAdvancedMenuDrawItemEvent(painter, &TsSkinableMenus::DrawPopupItem));
}

TEST_F(SkinMenus, MeasuresEachKindOfItem) {
  ASSERT_NO_FATAL_FAILURE(Load());
  TMenuItem* normal = Add(popup, "&Save");
  TMenuItem* keyed = Add(popup, "&Save");
  keyed->SetShortCut(ShortCut('S', ssCtrl));
  TMenuItem* divider = Add(popup, "-");
  TMenuItem* caption = Add(popup, "-Tools-");
  TMenuItem* pictured = Add(popup, "&Save");
  pictured->Bitmap() = TBitmap(24, 30, pf24bit);
  FormServices().ApplySkinActive(manager.get());

  const int line = static_cast<int>(std::lround(MenuTextSize("W").cy * 1.25));
  const int margins = 3 * 2 + 6;  // 3 x Margin + Spacing
  struct Case {
    const char* what;
    TMenuItem* item;
    int width, height;
  } cases[] = {
      {"no image: a 16-pixel column on both sides", normal,
       2 * 16 + MenuTextSize("&Save").cx + margins, line + 4},
      {"shortcut right after the caption", keyed, 2 * 16 + MenuTextSize("&SaveCtrl+S").cx + margins,
       line + 4},
      {"divider", divider, 2 * 16 + margins, 2},
      {"caption item with a dash more each side", caption,
       2 * 16 + MenuTextSize("--Tools--").cx + margins, line + 4},
      {"own picture sets the column", pictured, 2 * 24 + MenuTextSize("&Save").cx + margins,
       std::max(line, 30) + 4},
  };
  for (const Case& c : cases) {
    const TSize size = Measure(c.item);
    EXPECT_EQ(size.cx, c.width) << c.what;
    EXPECT_EQ(size.cy, c.height) << c.what;
  }
}

TEST_F(SkinMenus, PaintsItemsFromTheSkin) {
  ASSERT_NO_FATAL_FAILURE(Load());
  manager->MenuSupport.IcoLineSkin = "ICOLINE";  // as the program's forms store it
  TMenuItem* item = Add(popup, "Item");
  TMenuItem* checked = Add(popup, "Checked");
  checked->SetChecked(true);
  TMenuItem* disabled = Add(popup, "Off");
  disabled->SetEnabled(false);
  TMenuItem* divider = Add(popup, "-");
  TMenuItem* caption = Add(popup, "-Tools-");
  FormServices().ApplySkinActive(manager.get());
  // Items as wide as the level's widest, so they lie inside the level's image.
  int W = 0;
  for (TMenuItem* i : {item, checked, disabled, divider, caption}) W = std::max(W, Measure(i).cx);
  constexpr int H = 24;
  const COLORREF normal = Colour("MENUITEM", "COLOR"), hot = Colour("MENUITEM", "HOTCOLOR", 1);
  struct Case {
    const char* what;
    TMenuItem* item;
    UINT state;
    int x, y;  // a pixel clear of text and glyph
    COLORREF expected;
  } cases[] = {
      {"normal", item, 0, W - 3, 2, normal},
      {"selected", item, ODS_SELECTED, W - 3, 2, hot},
      {"check glyph", checked, ODS_CHECKED, 2 + TTestSkin::kGlyphSize / 2, H / 2,
       Colour("GLOBALINFO", "CHECK", 0)},
      {"selected check glyph", checked, ODS_CHECKED | ODS_SELECTED, 2 + TTestSkin::kGlyphSize / 2,
       H / 2, Colour("GLOBALINFO", "CHECK", 1)},
      {"caption item", caption, 0, W - 3, 2, Colour("TOOLBAR", "COLOR")},
  };
  for (const Case& c : cases) {
    TDrawTarget target(W, H);
    Draw(c.item, target.Dc(), {0, 0, W, H}, c.state);
    EXPECT_EQ(target.At(c.x, c.y), c.expected)
        << c.what << ": got " << std::hex << target.At(c.x, c.y) << " expected " << c.expected;
  }

  TDrawTarget off(W, H);
  Draw(disabled, off.Dc(), {0, 0, W, H}, ODS_DISABLED | ODS_GRAYED);
  const COLORREF blended = off.At(W - 3, 2);
  EXPECT_NE(blended, normal) << "a disabled item is blended with the menu's background";
  const kvtest::TSkinItem* legend = skin.Legend(blended);
  EXPECT_EQ(legend, nullptr) << "neither the item's nor the background's colour";

  // The level's image: the icon column's strip inside the frame.
  ASSERT_EQ(PopupCache.size(), 1u);
  TBitmap& image = *PopupCache[0]->Bitmap;
  const int column = painter->SkinBorderWidth() + IconColumnWidth / 2;
  const std::uint8_t* p = image.ScanLine(image.Height() / 2) + 3 * column;
  const COLORREF strip = RGB(p[2], p[1], p[0]);
  const kvtest::TSkinItem* seen = skin.Legend(strip);
  EXPECT_EQ(strip, Colour("ICOLINE", "COLOR"))
      << "got " << (seen != nullptr ? seen->Section + "." + seen->Key : "no legend colour")
      << " at " << column << " in " << image.Width() << "x" << image.Height();

  // No "DIVIDERV" in the skin: the etched line.
  TDrawTarget line(W, 2);
  Draw(divider, line.Dc(), {0, 0, W, 2}, 0);
  EXPECT_EQ(line.At(W / 2, 0), RGB(0x80, 0x80, 0x80));
  EXPECT_EQ(line.At(W / 2, 1), RGB(0xFF, 0xFF, 0xFF));
}

TEST_F(SkinMenus, APopupWindowIsShapedWhileOpenAndItsCacheGoesWithIt) {
  ASSERT_NO_FATAL_FAILURE(Load());
  for (const char* caption : {"One", "Two", "-", "Three"}) Add(popup, caption);
  FormServices().ApplySkinActive(manager.get());
  const kvtest::TObjectBaseline baseline;
  struct Seen {
    bool cached = false, inUse = false, regioned = false, cornerCut = false, centreIn = false;
    COLORREF item = 0;
    RECT box{};
    SIZE window{};
  } seen;
  for (int opening = 0; opening < 50; ++opening) {
    kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND wnd) {
      UpdateWindow(wnd);  // the items are painted before the probe looks
      seen.cached = painter->FindPopupCache(nullptr, 0, 0, wnd) != nullptr;
      seen.inUse = MenuInUse();
      HRGN rgn = CreateRectRgn(0, 0, 0, 0);
      seen.regioned = GetWindowRgn(wnd, rgn) != ERROR;
      GetRgnBox(rgn, &seen.box);
      seen.cornerCut = !PtInRegion(rgn, 0, 0);
      RECT wr{};
      GetWindowRect(wnd, &wr);
      seen.window = {wr.right - wr.left, wr.bottom - wr.top};
      seen.centreIn = PtInRegion(rgn, seen.window.cx / 2, seen.window.cy / 2) != 0;
      DeleteObject(rgn);
      // The first item's right end, clear of its text, in the window's client.
      seen.item = FirstItemEndColour(wnd, popup->Handle());
    });
    popup->Popup(300, 300);
    ASSERT_TRUE(probe.Found()) << "opening " << opening;
    ASSERT_TRUE(seen.cached) << "the level's record carries its window";
    ASSERT_TRUE(seen.inUse);
    ASSERT_TRUE(seen.regioned);
    EXPECT_TRUE(seen.cornerCut) << "the border mask's corner run is cut out";
    EXPECT_TRUE(seen.centreIn);
    EXPECT_EQ(seen.item, Colour("MENUITEM", "COLOR")) << "got " << std::hex << seen.item;
    EXPECT_EQ(seen.box.right, seen.window.cx) << "region built at the window's size";
    EXPECT_EQ(seen.box.bottom, seen.window.cy);
    pump::PumpUntil([] { return kvtest::FindThreadWindow(kvtest::kMenuClass) == nullptr; });
    EXPECT_TRUE(PopupCache.empty()) << "dropped when the level closed";
    EXPECT_FALSE(MenuInUse());
  }
  EXPECT_TRUE(baseline.Unchanged());
}

TEST_F(SkinMenus, SkinSwitchesLeaveTheCountersAtBaseline) {
  ASSERT_NO_FATAL_FAILURE(Load());
  TMenuItem* item = Add(popup, "Item");
  FormServices().ApplySkinActive(manager.get());
  Measure(item);
  const kvtest::TObjectBaseline baseline;
  for (int i = 0; i < 5; ++i) {
    manager->SetActive(false);
    EXPECT_FALSE(popup->OwnerDraw());
    manager->SetActive(true);
    EXPECT_TRUE(popup->OwnerDraw());
    TDrawTarget target(100, 20);
    Draw(item, target.Dc(), {0, 0, 100, 20}, 0);
  }
  // A record built for a level without a window goes with the next skin.
  manager->SetSkinName("T");
  EXPECT_TRUE(PopupCache.empty());
  EXPECT_TRUE(baseline.Unchanged());
}

TEST_F(SkinMenus, PaintsMenuLineItemsOverTheProvidersMenuLine) {
  ASSERT_NO_FATAL_FAILURE(Load());
  auto* lineForm = Create<TMenuLineForm>(Application);
  auto* mainMenu = Create<TMainMenu>(lineForm);
  auto* file = Create<TMenuItem>(lineForm);
  file->SetCaption("&File");
  mainMenu->Items()->Add(file);
  auto* edit = Create<TMenuItem>(lineForm);
  edit->SetCaption("&Edit");
  edit->SetEnabled(false);
  mainMenu->Items()->Add(edit);
  lineForm->SetMenu(mainMenu);
  FormServices().ApplySkinActive(manager.get());
  ASSERT_TRUE(mainMenu->OwnerDraw());
  HWND wnd = lineForm->Handle();

  // The system's menu-bar height less one, as wide as the caption.
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, file->Command(), 0, 0, file->Command()};
  SendMessageW(wnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  EXPECT_EQ(static_cast<int>(mis.itemHeight), GetSystemMetrics(SM_CYMENU) - 1);
  EXPECT_EQ(static_cast<int>(mis.itemWidth), MenuTextSize("File").cx);

  constexpr int W = 60, H = 20;
  struct Case {
    const char* what;
    TMenuItem* item;
    UINT state;
    bool isLegend;
    COLORREF expected;
  } cases[] = {
      {"normal", file, 0, true, Colour("MENUITEM", "COLOR")},
      {"hot-lit", file, ODS_HOTLIGHT, true, Colour("MENUITEM", "HOTCOLOR", 1)},
      {"selected", file, ODS_SELECTED, true, Colour("MENUITEM", "HOTCOLOR", 1)},
      {"disabled: blended with the line", edit, ODS_DISABLED | ODS_GRAYED, false, 0},
  };
  for (const Case& c : cases) {
    TDrawTarget target(W, H);
    DRAWITEMSTRUCT dis{ODT_MENU, 0,           c.item->Command(), ODA_DRAWENTIRE,   c.state,
                       nullptr,  target.Dc(), {0, 0, W, H},      c.item->Command()};
    SendMessageW(wnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    const COLORREF got = target.At(W - 2, 1);
    if (c.isLegend) {
      EXPECT_EQ(got, c.expected) << c.what << ": got " << std::hex << got;
    } else {
      EXPECT_EQ(skin.Legend(got), nullptr) << c.what << ": got " << std::hex << got;
      EXPECT_NE(got, TMenuLineProvider::kLine) << c.what;
    }
  }

  // With an image the caption is centred in the room right of the image,
  // which is what the item was measured for, so none of it is cut off.
  auto* images = Create<TImageList>(lineForm);
  images->SetSize(16, 16);
  TBitmap red(16, 16, pf24bit);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) red.ScanLine(y)[3 * x + 2] = 0xFF;
  images->Add(red);
  mainMenu->SetImages(images);
  file->SetImageIndex(0);
  FormServices().ApplySkinActive(manager.get());
  SendMessageW(wnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  const int w = static_cast<int>(mis.itemWidth);
  EXPECT_EQ(w, MenuTextSize("File").cx + 16 + 6);
  TDrawTarget target(w, H);
  DRAWITEMSTRUCT dis{ODT_MENU, 0,           file->Command(), ODA_DRAWENTIRE, 0,
                     nullptr,  target.Dc(), {0, 0, w, H},    file->Command()};
  SendMessageW(wnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(target.At(3 + 8, H / 2), RGB(0xFF, 0, 0)) << "the image, 3 pixels in";
  const COLORREF ink = Colour("MENULINE", "FONTCOLOR");
  int left = w, right = -1;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < w; ++x)
      if (target.At(x, y) == ink) left = std::min(left, x), right = std::max(right, x);
  ASSERT_GE(right, left) << "the caption is drawn";
  EXPECT_GE(left, 16 + 6) << "right of the image";
  EXPECT_GE(right - left, (w - 16 - 6) / 2) << "the caption shows, not just its first letter";
  lineForm->Free();
}

TEST_F(SkinMenus, HookingAPopupWindowPumpsNothingAndShapesItOnce) {
  ASSERT_NO_FATAL_FAILURE(Load());
  // A window of the menus' class, made by hand so that no menu loop runs.
  HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, kvtest::kMenuClass, L"", WS_POPUP, 0, 0, 100, 80,
                             nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(wnd, nullptr);
  HWND other = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 100, 80, nullptr,
                               nullptr, nullptr, nullptr);
  constexpr UINT kPending = WM_APP + 5;
  PostMessageW(wnd, kPending, 0, 0);
  TBitmap image(100, 80, pf24bit);
  painter->HookPopupWindow(wnd, &image);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, wnd, kPending, kPending, PM_REMOVE))
      << "hooking runs inside the menu loop's painting: it must not pump messages";
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(wnd, rgn), ERROR);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_TRUE(PtInRegion(rgn, 50, 40));
  SetWindowRgn(wnd, nullptr, FALSE);
  painter->HookPopupWindow(wnd, &image);
  EXPECT_EQ(GetWindowRgn(wnd, rgn), ERROR) << "the region is set once per window";
  painter->HookPopupWindow(other, &image);
  EXPECT_EQ(GetWindowRgn(other, rgn), ERROR) << "only pop-up menu windows are shaped";
  DeleteObject(rgn);
  DestroyWindow(other);
  DestroyWindow(wnd);
}

TEST_F(SkinMenus, TheExtraLineWidensFirstColumnItemsOnlyWhenShown) {
  kvtest::TTestSkinOptions options;
  options.Keys.push_back({"EXTRALINE", "TRANSPARENCY", "0"});
  ASSERT_NO_FATAL_FAILURE(Load(true, options));
  TMenuItem* first = Add(popup, "First");
  TMenuItem* broken = Add(popup, "First");
  broken->SetBreak(mbBreak);
  auto* selector = Create<TPopupMenu>(form);
  TMenuItem* select = Add(selector, "First");
  select->SetName("SkinSelectItem");
  FormServices().ApplySkinActive(manager.get());
  const int plain = Measure(first).cx;  // UseExtraLine is off by default

  manager->MenuSupport.UseExtraLine = true;
  int asked = 0;
  bool show = true;
  manager->OnGetMenuExtraLineData = [&](TMenuItem* firstItem, std::string& section,
                                        std::string& caption, TBitmap*& glyph, bool& visible) {
    ++asked;
    EXPECT_EQ(firstItem, first);
    EXPECT_EQ(section, "EXTRALINE");
    caption = "&Logger";
    glyph = new TBitmap(8, 8, pf24bit);  // the toolkit frees it
    // Magenta round one dark pixel, magenta transparent.
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        std::uint8_t* g = glyph->ScanLine(y) + 3 * x;
        g[0] = g[2] = 0xFF, g[1] = 0;
      }
    std::uint8_t* dot = glyph->ScanLine(4) + 3 * 4;
    dot[0] = 0x20, dot[1] = 0x40, dot[2] = 0x60;
    glyph->Transparent = true;
    glyph->TransparentColor = 0xFF00FF;
    visible = show;
  };
  EXPECT_EQ(Measure(first).cx, plain + 32);
  EXPECT_EQ(Measure(broken).cx, plain) << "not in the first column";
  EXPECT_EQ(Measure(select).cx, plain) << "a skin selector never has the line";
  EXPECT_EQ(asked, 2) << "the selector's level is not asked";
  show = false;
  EXPECT_EQ(Measure(first).cx, plain);

  // The level's image carries the line down its left side, inside the frame.
  show = true;
  const int width = Measure(first).cx;
  Measure(broken);
  TDrawTarget target(width, 24);
  Draw(first, target.Dc(), {0, 0, width, 24}, 0);
  ASSERT_EQ(PopupCache.size(), 1u);
  TBitmap& image = *PopupCache[0]->Bitmap;
  const int sbw = painter->SkinBorderWidth();
  const std::uint8_t* p = image.ScanLine(image.Height() / 2) + 3 * (sbw + 2);
  EXPECT_EQ(RGB(p[2], p[1], p[0]), Colour("EXTRALINE", "COLOR"));
  EXPECT_EQ(target.At(2, 2), Colour("EXTRALINE", "COLOR")) << "and the first item shows it";
  // The glyph sits centred 12 pixels above the line's bottom, its transparent
  // colour leaving the line showing.
  const auto at = [&](int x, int y) {
    const std::uint8_t* q = image.ScanLine(y) + 3 * x;
    return RGB(q[2], q[1], q[0]);
  };
  const int gx = sbw + (32 - 8) / 2, gy = image.Height() - sbw - 12 - 8;
  ASSERT_GE(gy, sbw);
  EXPECT_EQ(at(gx, gy), Colour("EXTRALINE", "COLOR"));
  EXPECT_EQ(at(gx + 4, gy + 4), RGB(0x60, 0x40, 0x20));
}

TEST_F(SkinMenus, AMainMenusLevelIsSkinnedThroughItsForm) {
  ASSERT_NO_FATAL_FAILURE(Load());
  auto* mainMenu = Create<TMainMenu>(form);
  TMenuItem* file = Add(mainMenu, "&File");
  for (const char* caption : {"Open", "Save", "Close"}) Add(mainMenu, caption, file);
  form->SetMenu(mainMenu);
  form->Show();
  FormServices().ApplySkinActive(manager.get());
  bool regioned = false, cached = false;
  COLORREF item = 0;
  {
    kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND wnd) {
      UpdateWindow(wnd);
      cached = painter->FindPopupCache(nullptr, 0, 0, wnd) != nullptr;
      HRGN rgn = CreateRectRgn(0, 0, 0, 0);
      regioned = GetWindowRgn(wnd, rgn) != ERROR;
      DeleteObject(rgn);
      RECT ir{};
      GetMenuItemRect(nullptr, file->Handle(), 1, &ir);
      POINT p{ir.right - 3, ir.top + 2};
      ScreenToClient(wnd, &p);
      HDC dc = GetDC(wnd);
      item = GetPixel(dc, p.x, p.y);
      ReleaseDC(wnd, dc);
    });
    // The level a click on "File" drops, owned by the form as the menu bar's are.
    TrackPopupMenu(file->Handle(), TPM_RETURNCMD, 300, 300, 0, form->Handle(), nullptr);
    ASSERT_TRUE(probe.Found());
  }
  EXPECT_TRUE(cached);
  EXPECT_TRUE(regioned);
  EXPECT_EQ(item, Colour("MENUITEM", "COLOR")) << "got " << std::hex << item;
}

// Wine's pop-up menus have no non-client frame: the level's image is laid
// by the window's real client offset, so the extra line lands inside the frame.
TEST_F(SkinMenus, TheExtraLineRunsDownARealPopupInsideItsFrame) {
  kvtest::TTestSkinOptions options;
  options.Keys.push_back({"EXTRALINE", "TRANSPARENCY", "0"});
  ASSERT_NO_FATAL_FAILURE(Load(true, options));
  manager->MenuSupport.UseExtraLine = true;
  for (const char* caption : {"One", "Two", "Three"}) Add(popup, caption);
  FormServices().ApplySkinActive(manager.get());
  COLORREF line = 0;
  kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND wnd) {
    UpdateWindow(wnd);
    RECT wr{};
    GetWindowRect(wnd, &wr);
    HDC dc = GetWindowDC(wnd);
    // The line's right end, next to where the items begin.
    line = GetPixel(dc, painter->SkinBorderWidth() + 32 - 2, (wr.bottom - wr.top) / 2);
    ReleaseDC(wnd, dc);
  });
  popup->Popup(300, 300);
  ASSERT_TRUE(probe.Found());
  EXPECT_EQ(line, Colour("EXTRALINE", "COLOR")) << "got " << std::hex << line;
}

// A right-to-left menu (its form's bdRightToLeft on a system that reads
// right to left) mirrors its items: check glyph and image at the right.
TEST_F(SkinMenus, ARightToLeftMenuMirrorsItsItems) {
  kvtest::TPlatformScope platform;
  platform.Calls().IsMiddleEastLocale = [] { return true; };
  ASSERT_NO_FATAL_FAILURE(Load());
  auto* images = Create<TImageList>(form);
  images->SetSize(8, 8);
  TBitmap red(8, 8, pf24bit);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) red.ScanLine(y)[3 * x + 2] = 255;
  images->Add(red);
  popup->SetImages(images);
  TMenuItem* checked = Add(popup, "Checked");
  checked->SetChecked(true);
  TMenuItem* pictured = Add(popup, "Picture");
  pictured->SetImageIndex(0);
  FormServices().ApplySkinActive(manager.get());
  const int W = std::max(Measure(checked).cx, Measure(pictured).cx);
  constexpr int H = 24;
  const COLORREF check = Colour("GLOBALINFO", "CHECK", 0);
  for (TBiDiMode mode : {bdLeftToRight, bdRightToLeft}) {
    const bool rtl = mode == bdRightToLeft;
    SCOPED_TRACE(rtl ? "right to left" : "left to right");
    form->SetBiDiMode(mode);
    ASSERT_EQ(popup->IsRightToLeft(), rtl) << "the menu follows its form";
    TDrawTarget glyph(W, H);
    Draw(checked, glyph.Dc(), {0, 0, W, H}, ODS_CHECKED);
    const int left = 2 + TTestSkin::kGlyphSize / 2, right = W - 1 - left;
    EXPECT_EQ(glyph.At(rtl ? right : left, H / 2), check);
    EXPECT_NE(glyph.At(rtl ? left : right, H / 2), check);
    TDrawTarget image(W, H);
    Draw(pictured, image.Dc(), {0, 0, W, H}, 0);
    const int d = (H - 8) / 2;  // the image's margin, as wide as its top one
    EXPECT_EQ(image.At(rtl ? W - d - 4 : d + 4, H / 2), RGB(255, 0, 0));
    EXPECT_NE(image.At(rtl ? d + 4 : W - d - 4, H / 2), RGB(255, 0, 0));
  }
}

// The skinned system menu's window commands carry the window buttons'
// signs in the item's text colours; no other menu's items get them.
TEST_F(SkinMenus, SystemMenuCommandsShowTheirSigns) {
  ASSERT_NO_FATAL_FAILURE(Load());
  auto* other = Create<TPopupMenu>(form);
  popup->SetName("SysMenu");
  struct Entry {
    UINT command;
    bool signed_;
  };
  const Entry entries[] = {{SC_MINIMIZE, true}, {SC_MAXIMIZE, true}, {SC_RESTORE, true},
                           {SC_CLOSE, true},    {SC_MOVE, false}};
  std::vector<std::pair<TMenuItem*, bool>> items;  // item, sign expected
  for (const Entry& e : entries)
    for (TPopupMenu* menu : {popup, other}) {
      TMenuItem* item = Add(menu, "");
      item->SetTag(static_cast<intptr_t>(e.command));
      items.push_back({item, e.signed_ && menu == popup});
    }
  FormServices().ApplySkinActive(manager.get());
  constexpr int W = 120, H = 24;
  for (const auto& [item, expected] : items) {
    for (const bool selected : {false, true}) {
      SCOPED_TRACE(std::to_string(item->Tag()) + (item->GetParentMenu() == popup ? " SysMenu" : " other") +
                   (selected ? " selected" : ""));
      Measure(item);
      TDrawTarget target(W, H);
      Draw(item, target.Dc(), {0, 0, W, H}, selected ? ODS_SELECTED : 0);
      const COLORREF ink = selected ? Colour("MENUITEM", "HOTFONTCOLOR", 1) : Colour("MENUITEM", "FONTCOLOR");
      int inked = 0;
      for (int y = 0; y < H; ++y)
        for (int x = 0; x < 30; ++x) inked += target.At(x, y) == ink;
      EXPECT_EQ(inked > 0, expected) << inked << " pixels of the text colour";
    }
  }
}

// A step run on each tick of a thread timer, which ticks inside an open
// pop-up's loop too. A watchdog ends the loop after a few seconds, so a
// test never hangs on a menu left open.
class TMenuLoopTicks {
 public:
  explicit TMenuLoopTicks(std::function<void()> tick) : tick_(std::move(tick)) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 20, &Tick);
  }
  ~TMenuLoopTicks() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }
  TMenuLoopTicks(const TMenuLoopTicks&) = delete;
  TMenuLoopTicks& operator=(const TMenuLoopTicks&) = delete;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TMenuLoopTicks* self = self_;
    if (self == nullptr) return;
    if (++self->ticks_ > 250)
      EndMenu();
    else
      self->tick_();
  }
  static inline TMenuLoopTicks* self_ = nullptr;
  std::function<void()> tick_;
  int ticks_ = 0;
  UINT_PTR timer_ = 0;
};

// Inside an open pop-up's loop: the pointer goes over one item after
// another as the system moves it; once each is lit and painted, the check
// runs.
class THoverSteps {
 public:
  using TStep = std::function<void(HWND wnd, HMENU menu)>;
  THoverSteps(std::vector<std::pair<int, TStep>> steps) : steps_(std::move(steps)) {}
  bool Done() const { return next_ == steps_.size(); }

 private:
  void Tick() {
    if (Done()) {
      EndMenu();
      return;
    }
    HWND wnd = kvtest::FindThreadWindow(kvtest::kMenuClass);
    if (wnd == nullptr || !MenuInUse()) return;
    auto* menu = reinterpret_cast<HMENU>(SendMessageW(wnd, MN_GETHMENU, 0, 0));
    const int item = steps_[next_].first;
    if (!moved_) {
      RECT r{};
      GetMenuItemRect(nullptr, menu, static_cast<UINT>(item), &r);
      INPUT in = kvtest::SystemMove({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
      SendInput(1, &in, sizeof in);
      moved_ = true;
      return;
    }
    if ((GetMenuState(menu, static_cast<UINT>(item), MF_BYPOSITION) & MF_HILITE) == 0) return;
    UpdateWindow(wnd);
    steps_[next_].second(wnd, menu);
    ++next_;
    moved_ = false;
  }
  std::vector<std::pair<int, TStep>> steps_;
  size_t next_ = 0;
  bool moved_ = false;
  TMenuLoopTicks ticks_{[this] { Tick(); }};
};

// The colour at the right end of an item of an open level, clear of its text.
COLORREF ItemEndColour(HWND wnd, HMENU menu, int item) {
  RECT ir{};
  GetMenuItemRect(nullptr, menu, static_cast<UINT>(item), &ir);
  POINT p{ir.right - 3, ir.top + 2};
  ScreenToClient(wnd, &p);
  HDC dc = GetDC(wnd);
  const COLORREF colour = GetPixel(dc, p.x, p.y);
  ReleaseDC(wnd, dc);
  return colour;
}

// A level in columns (Break) hovered item by item: each item lit paints
// the frame beside it, never the items of the other columns on its rows,
// and the short last column leaves the first column's lower items be.
TEST_F(SkinMenus, ColumnsKeepTheirItemsWhileTheOthersAreHovered) {
  ASSERT_NO_FATAL_FAILURE(Load());
  for (const char* caption : {"One", "Two", "Three", "Four"}) Add(popup, caption);
  Add(popup, "Five")->SetBreak(mbBreak);
  Add(popup, "Six");
  FormServices().ApplySkinActive(manager.get());
  const COLORREF normal = Colour("MENUITEM", "COLOR"), hot = Colour("MENUITEM", "HOTCOLOR", 1);
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  struct Seen {
    std::string what;
    COLORREF lit, other;
  };
  std::vector<Seen> seen;
  const auto look = [&](const char* what, int lit, int other) {
    return [&seen, what, lit, other](HWND wnd, HMENU menu) {
      seen.push_back({what, ItemEndColour(wnd, menu, lit), ItemEndColour(wnd, menu, other)});
    };
  };
  THoverSteps steps(
      {{4, look("second column's first item lit: the first column's beside it", 4, 0)},
       {1, look("first column's second item lit: the second column's beside it", 1, 5)},
       {5, look("the short column's last item lit: the first column's below it", 5, 3)},
       {0, look("first column's first item lit: the second column's beside it", 0, 4)}});
  popup->Popup(200, 200);
  EXPECT_TRUE(steps.Done()) << "every item was lit";
  ASSERT_EQ(seen.size(), 4u);
  for (const Seen& s : seen) {
    EXPECT_EQ(s.lit, hot) << s.what << ": the lit item, got " << std::hex << s.lit;
    EXPECT_EQ(s.other, normal) << s.what << ": got " << std::hex << s.other;
  }
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
}

BOOL CALLBACK CountMenuWindow(HWND wnd, LPARAM lp) {
  wchar_t name[16] = {};
  GetClassNameW(wnd, name, 16);
  if (IsWindowVisible(wnd) && lstrcmpW(name, kvtest::kMenuClass) == 0)
    ++*reinterpret_cast<int*>(lp);
  return TRUE;
}

// This thread's visible pop-up menu windows.
int OpenMenuWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountMenuWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// The record of the level whose first item is given; null when none.
TacPopupCache* RecordOf(const TMenuItem* first) {
  for (auto& rec : PopupCache)
    if (rec->FirstItem == first) return rec.get();
  return nullptr;
}

// Inside an open pop-up's loop, by keys as a user goes: the first item's
// submenu opened, then closed again while the first level stays open. The
// first level's record is marked while both are open; once the submenu has
// gone, the first level's items are painted again.
class TSubmenuOpenedAndClosed {
 public:
  static constexpr std::uint8_t kMark = 0x5A;
  explicit TSubmenuOpenedAndClosed(const TMenuItem* first) : first_(first) {}

  int Step = 0;
  size_t BothOpen = 0;
  bool Rebuilt = false;  // the first level's record is a new one

 private:
  void Tick() {
    HWND keys = TPopupList::Window();
    const int open = OpenMenuWindows();
    if (Step == 0 && open == 1 && MenuInUse()) {
      PostMessageW(keys, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageW(keys, WM_KEYDOWN, VK_RIGHT, 0);
      Step = 1;
    } else if (Step == 1 && open == 2 && PopupCache.size() == 2) {
      BothOpen = PopupCache.size();
      if (TacPopupCache* rec = RecordOf(first_)) rec->Bitmap->ScanLine(0)[0] = kMark;
      PostMessageW(keys, WM_KEYDOWN, VK_LEFT, 0);
      Step = 2;
    } else if (Step == 2 && open == 1) {
      RedrawWindow(kvtest::FindThreadWindow(kvtest::kMenuClass), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW);
      const TacPopupCache* rec = RecordOf(first_);
      Rebuilt = rec != nullptr && rec->Bitmap->ScanLine(0)[0] != kMark;
      Step = 3;
      EndMenu();
    }
  }
  const TMenuItem* first_;
  TMenuLoopTicks ticks_{[this] { Tick(); }};
};

// A submenu closed while its parent level stays open: its window going
// drops every level's record, the open parent's too, which the parent's
// items build afresh when they are painted next.
TEST_F(SkinMenus, ASubmenuClosingDropsTheRecordsOfTheLevelsStillOpen) {
  // Composing, the system keeps the menu windows' own adapters away: the
  // painter's subclass alone sees the window go.
  kvtest::TPlatformScope platform;
  platform.Calls().IsCompositionEnabled = +[] { return true; };
  ASSERT_NO_FATAL_FAILURE(Load());
  TMenuItem* file = Add(popup, "File");
  for (const char* caption : {"Open", "Save"}) Add(popup, caption, file);
  Add(popup, "Exit");
  FormServices().ApplySkinActive(manager.get());
  TSubmenuOpenedAndClosed script(file);
  popup->Popup(200, 200);
  EXPECT_EQ(script.Step, 3) << "the submenu opened and closed";
  EXPECT_EQ(script.BothOpen, 2u) << "one record per open level";
  EXPECT_TRUE(script.Rebuilt) << "the open level's record went with the submenu's window";
}

// A skin switched while a pop-up menu is open: the open level's items
// paint in the new skin.
TEST_F(SkinMenus, ASkinSwitchedWhileAMenuIsOpenRepaintsTheOpenLevel) {
  ASSERT_NO_FATAL_FAILURE(Load());
  constexpr COLORREF kOther = RGB(0x21, 0x43, 0x65);
  TsStoredSkin& other = manager->InternalSkins.Add();
  other.Name = "Other";
  other.Data = TTestSkin({.Keys = {{"MENUITEM", "COLOR", std::to_string(kOther)}}}).Packed();
  for (const char* caption : {"One", "Two"}) Add(popup, caption);
  FormServices().ApplySkinActive(manager.get());
  COLORREF before = 0, after = 0;
  kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND wnd) {
    UpdateWindow(wnd);
    before = FirstItemEndColour(wnd, popup->Handle());
    manager->SetSkinName("Other");
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    after = FirstItemEndColour(wnd, popup->Handle());
  });
  popup->Popup(300, 300);
  ASSERT_TRUE(probe.Found());
  EXPECT_EQ(before, Colour("MENUITEM", "COLOR")) << "got " << std::hex << before;
  EXPECT_EQ(after, kOther) << "got " << std::hex << after;
}

// A skin without the menu section has no menu border: the open level's
// window loses only its top-left pixel, and its items still paint.
TEST_F(SkinMenus, WithoutTheMenusBorderMaskAPopupLosesOnlyItsCornerPixel) {
  kvtest::TTestSkinOptions options;
  options.Lacks = {"MAINMENU"};
  ASSERT_NO_FATAL_FAILURE(Load(true, options));
  EXPECT_EQ(painter->SkinBorderWidth(), 0);
  for (const char* caption : {"One", "Two"}) Add(popup, caption);
  FormServices().ApplySkinActive(manager.get());
  struct Seen {
    bool regioned = false;
    std::vector<bool> inside;
    COLORREF item = 0;
  } seen;
  kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND wnd) {
    UpdateWindow(wnd);
    RECT wr{};
    GetWindowRect(wnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    seen.regioned = GetWindowRgn(wnd, rgn) != ERROR;
    for (POINT p : {POINT{0, 0}, POINT{1, 0}, POINT{0, 1}, POINT{w - 1, 0}, POINT{0, h - 1},
                    POINT{w - 1, h - 1}})
      seen.inside.push_back(PtInRegion(rgn, p.x, p.y) != 0);
    DeleteObject(rgn);
    seen.item = FirstItemEndColour(wnd, popup->Handle());
  });
  popup->Popup(300, 300);
  ASSERT_TRUE(probe.Found());
  ASSERT_TRUE(seen.regioned);
  EXPECT_EQ(seen.inside, (std::vector<bool>{false, true, true, true, true, true}));
  EXPECT_EQ(seen.item, Colour("MENUITEM", "COLOR")) << "got " << std::hex << seen.item;
}

}  // namespace
}  // namespace kv
