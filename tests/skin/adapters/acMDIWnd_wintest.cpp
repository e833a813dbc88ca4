// The MDI client adapter against a stand-in provider: a frame picture whose
// every pixel tells where it lies, so that each copy shows where it came
// from; the suppressed painting under a maximised child; the scroll
// commands; and what the adapter tells the provider.
#include <gtest/gtest.h>
#include <windows.h>

#include "AdapterFixture.h"
#include "classlib/Forms.h"
#include "skin/adapters/acMDIWnd_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/graphics/sGraphUtils.h"
#include "support/Pixels.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TPixels;

// The picture's pixel at x, y.
COLORREF Where(int x, int y) { return RGB(x % 256, y % 256, 0x4D); }

struct TFakeProvider : TacMDIProviderLink {
  TColor FormColor() const override { return clRed; }
  bool ShowAnimating() const override { return false; }
  void PaintFrameCache() override { ++framePaints; }
  bool HasBorderForm() const override { return borderForm; }
  POINT FrameCacheOffset() const override { return offset; }
  void ClearHotButton() override {}
  void RepaintProviderFrame() override { ++frameRepaints; }
  void UpdateSystemMenu() override {}
  void MDIMenuChanged() override { ++menuChanges; }
  void RepaintFrameNow() override { ++repaintsNow; }
  bool borderForm = false;
  POINT offset{};
  int framePaints = 0, frameRepaints = 0, menuChanges = 0, repaintsNow = 0;
};

class MDIClientAdapter : public kvtest::AdapterFixture {
 protected:
  void SetUp() override {
    AdapterFixture::SetUp();
    form = CreateOwned<TForm>();
    form->SetFormStyle(fsMDIForm);
    form->SetBounds(30, 30, 400, 300);
    form->Show();
    formData = std::make_unique<TsCommonData>(nullptr, true);
    formData->SetSkinManager(manager.get());
    formData->SetSkinSection("FORM");
    formData->RefreshSkinIndexes();
    RECT w{};
    GetWindowRect(form->Handle(), &w);
    formData->CacheBmp = NewBitmap24(w.right - w.left + 40, w.bottom - w.top + 40);
    TBitmap& cache = *formData->CacheBmp;
    for (int y = 0; y < cache.Height(); ++y)
      for (int x = 0; x < cache.Width(); ++x) {
        std::uint8_t* p = cache.ScanLine(y) + 3 * x;
        const COLORREF c = Where(x, y);
        p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
      }
    formData->BGChanged = false;
    adapter = CreateAdapter<TacMDIWnd>(nullptr, true, nullptr, manager.get(), "CHECKBOX");
    adapter->Form = form.get();
    adapter->FormSkinData = formData.get();
    adapter->Provider = &provider;
    adapter->Attach(form->ClientHandle(), true);
    pump::PumpUntilIdle();
  }
  void TearDown() override {
    FreeAdapter(adapter);
    form.reset();
    formData.reset();
    AdapterFixture::TearDown();
  }
  HWND Client() { return form->ClientHandle(); }
  // The client's top-left corner in the form's window.
  POINT Place() {
    RECT c{}, f{};
    GetWindowRect(Client(), &c);
    GetWindowRect(form->Handle(), &f);
    return {c.left - f.left, c.top - f.top};
  }
  // What a message painting into a DC leaves in a bitmap of the window's size.
  TPixels PaintedBy(UINT msg, LRESULT* result = nullptr) {
    RECT r{};
    GetWindowRect(Client(), &r);
    OffsetRect(&r, -r.left, -r.top);
    HDC screen = GetDC(Client());
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(dc, bmp);
    HBRUSH brush = CreateSolidBrush(kUnpainted);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    const LRESULT answer = SendMessageW(Client(), msg, reinterpret_cast<WPARAM>(dc),
                                        msg == WM_PRINT ? PRF_CLIENT | PRF_NONCLIENT : 0);
    if (result != nullptr) *result = answer;
    TPixels p = TPixels::FromDC(dc, r);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(Client(), screen);
    return p;
  }
  TForm* NewChild() {
    TForm* child = Create<TForm>(form.get());
    child->SetFormStyle(fsMDIChild);
    child->SetBounds(0, 0, 100, 80);
    child->Show();
    return child;
  }
  static constexpr COLORREF kUnpainted = RGB(1, 2, 3);
  Owned<TForm> form;
  std::unique_ptr<TsCommonData> formData;
  TFakeProvider provider;
  TacMDIWnd* adapter = nullptr;
};

TEST_F(MDIClientAdapter, EraseAndPrintCopyThePictureUnderTheClient) {
  const POINT at = Place();
  LRESULT result = 0;
  // Erasing paints the client DC, inside the two-pixel edge.
  const TPixels erased = PaintedBy(WM_ERASEBKGND, &result);
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(kvtest::ColourAt(erased, 0, 0, Where(at.x + 2, at.y + 2)));
  EXPECT_TRUE(kvtest::ColourAt(erased, 30, 20, Where(at.x + 32, at.y + 22)));
  // Printing paints the whole window from its corner.
  const TPixels printed = PaintedBy(WM_PRINT);
  EXPECT_TRUE(kvtest::ColourAt(printed, 30, 20, Where(at.x + 30, at.y + 20)));
  EXPECT_EQ(provider.framePaints, 0) << "an up-to-date picture was painted again";
}

TEST_F(MDIClientAdapter, TheEdgeComesFromThePictureToo) {
  const POINT at = Place();
  const TPixels window = TPixels::FromWindow(Client());
  EXPECT_TRUE(kvtest::ColourAt(window, 0, 0, Where(at.x, at.y)));
  EXPECT_TRUE(kvtest::ColourAt(window, 1, 40, Where(at.x + 1, at.y + 40)));
}

TEST_F(MDIClientAdapter, ABorderFormMovesThePlaceInThePicture) {
  provider.borderForm = true;
  provider.offset = {9, 13};
  const POINT at = Place();
  const TPixels erased = PaintedBy(WM_ERASEBKGND);
  EXPECT_TRUE(kvtest::ColourAt(erased, 10, 10, Where(at.x + 9 + 12, at.y + 13 + 12)));
  // With a border form the border form shows the client: nothing printed.
  EXPECT_EQ(PaintedBy(WM_PRINT).CountDiffering(kUnpainted, RECT{0, 0, 50, 50}), 0);
}

// A skin without "MDIAREA".
class MDIClientWithoutArea : public MDIClientAdapter {
 protected:
  kvtest::TTestSkinOptions SkinOptions() const override { return {.Lacks = {"MDIAREA"}}; }
};

TEST_F(MDIClientWithoutArea, APlainFormShowsTheClientAndItsEdgeInTheFormColour) {
  // The form's look is plain, as a provider's form without a texture or
  // gradient is.
  formData->ChildBgFlags |= 1;
  ASSERT_FALSE(NeedsParentCheck(formData.get()));
  const TPixels erased = PaintedBy(WM_ERASEBKGND);
  EXPECT_TRUE(kvtest::ColourAt(erased, 30, 20, RGB(0xFF, 0, 0)));
  ASSERT_NE(GetWindowLongW(Client(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  RedrawWindow(Client(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  const TPixels window = TPixels::FromWindow(Client());
  EXPECT_TRUE(kvtest::ColourAt(window, 0, 0, RGB(0xFF, 0, 0)));
  EXPECT_TRUE(kvtest::ColourAt(window, 1, 40, RGB(0xFF, 0, 0)));
  EXPECT_EQ(provider.framePaints, 0) << "the picture is not needed";
}

TEST_F(MDIClientAdapter, AMaximisedActiveChildSilencesTheClient) {
  TForm* child = NewChild();
  SendMessageW(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
  pump::PumpUntilIdle();
  ASSERT_EQ(form->ActiveMDIChild(), child);
  for (const UINT msg : {UINT{WM_ERASEBKGND}, UINT{WM_PRINT}}) {
    LRESULT result = -1;
    const TPixels p = PaintedBy(msg, &result);
    EXPECT_EQ(result, msg == WM_ERASEBKGND ? 1 : 0) << msg;
    EXPECT_EQ(p.CountDiffering(kUnpainted, p.Whole()), 0) << msg;
  }
  EXPECT_EQ(SendMessageW(Client(), WM_NCPAINT, 1, 0), 1);
}

// Before a scroll the client stops drawing; after it draws again, but a
// dragged thumb only turns drawing back on.
TEST_F(MDIClientAdapter, ScrollCommandsHoldTheDrawingUntilTheScrollEnds) {
  auto visible = [&] { return (GetWindowLongW(Client(), GWL_STYLE) & WS_VISIBLE) != 0; };
  SendMessageW(Client(), SM_ALPHACMD, MAKEWPARAM(0, cmdBeforeScroll), 0);
  EXPECT_FALSE(visible());
  SendMessageW(Client(), SM_ALPHACMD, MAKEWPARAM(0, cmdAfterScroll), SB_THUMBTRACK);
  EXPECT_TRUE(visible());
  EXPECT_FALSE(GetUpdateRect(Client(), nullptr, FALSE)) << "a tracked thumb redrew the client";
  SendMessageW(Client(), SM_ALPHACMD, MAKEWPARAM(0, cmdBeforeScroll), 0);
  SendMessageW(Client(), SM_ALPHACMD, MAKEWPARAM(0, cmdAfterScroll), SB_ENDSCROLL);
  EXPECT_TRUE(visible());
}

TEST_F(MDIClientAdapter, MenuAndArrangementNewsReachTheProvider) {
  NewChild();
  SendMessageW(Client(), WM_MDITILE, 0, 0);
  EXPECT_EQ(provider.frameRepaints, 1);
  EXPECT_TRUE(formData->BGChanged);
  SendMessageW(Client(), WM_MDISETMENU, 0, 0);
  EXPECT_EQ(provider.menuChanges, 1);
  const int repaints = provider.repaintsNow;
  SendMessageW(Client(), WM_MDIREFRESHMENU, 0, 0);
  EXPECT_EQ(provider.repaintsNow, repaints + 1);
}

}  // namespace
}  // namespace kv
