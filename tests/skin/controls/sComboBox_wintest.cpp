// The skinned combo box under Wine with the synthetic skin: frame, button and
// arrow per state, the edit part's text, the skinned long list, read-only
// refusals and the window made again when the skin goes.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "skin/controls/SkinnedForm.h"
#include "skin/controls/sComboBox_win.h"
#include "support/FreedMemory.h"
#include "support/Pixels.h"

namespace kv {
namespace {

using kvtest::TPixels;
using pump::PumpUntil;
using pump::PumpUntilIdle;

class ComboSkinned : public kvtest::TSkinnedFormTest {
 protected:
  TsComboBox* AddCombo(int items, TComboBoxStyle style = csDropDownList) {
    auto* box = Create<TsComboBox>(form);
    box->SetParent(form);
    box->SetStyle(style);
    box->SetBounds(20, 20, 160, 26);
    for (int i = 0; i < items; ++i) box->Items()->Add("COM" + std::to_string(i + 1));
    return box;
  }
  // The state a part shows by its legend colour; -1 when it shows another.
  int StateAt(const TPixels& shown, int x, int y, const char* section, const char* key) {
    const kvtest::TSkinItem* item = skin->Legend(shown.At(x, y));
    return item != nullptr && item->Section == section && item->Key == key ? item->State : -1;
  }
  void Close(TsComboBox* box) {
    box->SetDroppedDown(false);
    PumpUntilIdle();
  }
};

TEST_F(ComboSkinned, FrameButtonAndArrowShowTheirStates) {
  Load();
  TsComboBox* box = AddCombo(3);
  TsComboBox* other = AddCombo(3);
  other->SetTop(120);
  Show();
  const TRect button = box->ButtonRect();
  const int glyphY = box->Height() / 2;
  struct Step {
    const char* what;
    std::function<void()> act;
    int frame, button;
  };
  const Step steps[] = {
      {"resting", [] {}, 0, 0},
      {"hovered", [&] { kvtest::HoverIn(box->Handle()); }, 1, 1},
      {"dropped down", [&] { box->SetDroppedDown(true); }, 1, 2},
      {"closed", [&] { Close(box); }, 1, 1},
      {"left", [&] { kvtest::HoverOut(); }, 0, 0},
  };
  for (const Step& step : steps) {
    step.act();
    // A leave comes when the system notices the mouse has gone.
    EXPECT_TRUE(PumpUntil([&] { return box->SkinData()->MouseAbove == (step.frame == 1); }))
        << step.what;
    ASSERT_TRUE(PumpUntilIdle()) << step.what;
    const TPixels shown = TPixels::FromClient(box->Handle());
    EXPECT_EQ(StateAt(shown, box->Width() / 2, 0, "COMBOBOX", "BORDERSMASK"), step.frame)
        << step.what;
    EXPECT_EQ(
        StateAt(shown, button.Left + button.Width() / 2, button.Top, "COMBOBTN", "BORDERSMASK"),
        step.button)
        << step.what;
    EXPECT_EQ(StateAt(shown, button.Left + button.Width() / 2, glyphY, "COMBOBOX", "GLYPHMASK"),
              step.button)
        << step.what;
  }
}

// The drop-down arrow is the combo box section's, whatever look the box has.
TEST_F(ComboSkinned, ABoxInAnotherSectionsLookStillShowsTheComboArrow) {
  Load();
  TsComboBox* box = AddCombo(3);
  box->SkinData()->SetSkinSection("EDIT");
  Show();
  ASSERT_TRUE(PumpUntilIdle());
  const TPixels shown = TPixels::FromClient(box->Handle());
  const TRect button = box->ButtonRect();
  EXPECT_EQ(StateAt(shown, box->Width() / 2, 0, "EDIT", "BORDERSMASK"), 0);
  EXPECT_EQ(StateAt(shown, button.Left + button.Width() / 2, box->Height() / 2, "COMBOBOX",
                    "GLYPHMASK"),
            0);
}

// An item drawn by the box into a fresh memory picture of its size.
TPixels DrawnItem(TsComboBox* box, int index, UINT state) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, box->Width(), box->Height());
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const RECT r{0, 0, box->Width(), box->Height()};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DRAWITEMSTRUCT item{ODT_COMBOBOX, 0, static_cast<UINT>(index), ODA_DRAWENTIRE, state,
                      box->Handle(), dc, r, 0};
  box->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  TPixels drawn = TPixels::FromDC(dc, r);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return drawn;
}

// Owner-drawn items: a disabled box's items in the shadow colour; the edit
// part of a closed, unfocused skinned box is the box's own picture.
TEST_F(ComboSkinned, ItsDrawnItemsFollowTheBoxsStateAndPicture) {
  Load();
  TsComboBox* box = AddCombo(3, csOwnerDrawFixed);
  box->SetItemIndex(0);
  Show();
  PumpUntilIdle();
  const TPixels edit = DrawnItem(box, 0, ODS_COMBOBOXEDIT);
  EXPECT_TRUE(kvtest::SameImage(edit, TPixels::FromClient(box->Handle())));
  box->SetEnabled(false);
  PumpUntilIdle();
  const TPixels item = DrawnItem(box, 1, 0);
  EXPECT_GT(item.CountOf(ColorToRGB(clBtnShadow), item.Whole()), 0);
}

// A command from its parts means the list has closed: the button rests.
TEST_F(ComboSkinned, ACommandFromItsPartsEndsTheDroppedLook) {
  Load();
  TsComboBox* box = AddCombo(3);
  Show();
  const TRect button = box->ButtonRect();
  const auto buttonState = [&] {
    PumpUntilIdle();
    return StateAt(TPixels::FromClient(box->Handle()), button.Left + button.Width() / 2,
                   button.Top, "COMBOBTN", "BORDERSMASK");
  };
  box->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_DROPDOWN), 0);
  EXPECT_EQ(buttonState(), 2);
  box->Perform(WM_COMMAND, MAKEWPARAM(0, EN_CHANGE), 0);
  EXPECT_EQ(buttonState(), 0);
}

TEST_F(ComboSkinned, TheEditPartShowsTheSelectedItemsTextAndNothingWithoutOne) {
  Load();
  TsComboBox* box = AddCombo(3);
  Show();
  const auto textPixels = [&] {
    PumpUntilIdle();
    const TPixels shown = TPixels::FromClient(box->Handle());
    const TRect t{4, 4, box->ButtonRect().Left - 2, box->Height() - 4};
    return shown.CountOf(Colour("COMBOBOX", "FONTCOLOR"), {t.Left, t.Top, t.Right, t.Bottom});
  };
  box->SetItemIndex(-1);
  EXPECT_EQ(textPixels(), 0);
  box->SetItemIndex(1);
  EXPECT_GT(textPixels(), 0);
}

TEST_F(ComboSkinned, ATypingBoxsEditPartPaintsItselfInTheSkinsColoursWhileFocused) {
  Load();
  TsComboBox* box = AddCombo(3, csDropDown);
  box->SetText("COM9");
  Show();
  ASSERT_NE(box->EditHandle(), nullptr);
  box->SetFocus();
  ASSERT_TRUE(PumpUntilIdle());
  ASSERT_EQ(GetFocus(), box->EditHandle());
  SendMessageW(box->EditHandle(), EM_SETSEL, 4, 4);  // the focus selected the text
  const TPixels edit = TPixels::FromClient(box->EditHandle());
  EXPECT_TRUE(
      kvtest::ColourAt(edit, edit.Width() - 2, edit.Height() / 2, Colour("COMBOBOX", "COLOR")));
  EXPECT_GT(edit.CountOf(Colour("COMBOBOX", "FONTCOLOR"), edit.Whole()), 0) << "its text";
  EXPECT_EQ(
      StateAt(TPixels::FromClient(box->Handle()), box->Width() / 2, 0, "COMBOBOX", "BORDERSMASK"),
      1)
      << "focused";

  // Its edit part loses the focus, not the box: the box still hears of it.
  TsComboBox* other = AddCombo(1);
  other->SetTop(120);
  other->SetFocus();
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(
      StateAt(TPixels::FromClient(box->Handle()), box->Width() / 2, 0, "COMBOBOX", "BORDERSMASK"),
      0)
      << "focus gone";
}

TEST_F(ComboSkinned, OnlyAListLongerThanItsDropDownCountIsSkinned) {
  Load();
  struct Case {
    int items;
    bool skinned;
  };
  for (const Case c : {Case{4, false}, Case{10, true}}) {
    SCOPED_TRACE(c.items);
    TsComboBox* box = AddCombo(c.items);
    box->SetDropDownCount(4);
    Show();
    box->SetDroppedDown(true);
    HWND list = box->ListHandle();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(list) != FALSE; }));
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(box->ListAdapter() != nullptr, c.skinned);
    if (c.skinned) {
      EXPECT_EQ(box->ListAdapter()->CtrlHandle, list);
      const TPixels whole = TPixels::FromWindow(list);
      EXPECT_TRUE(kvtest::ColourAt(whole, 0, whole.Height() / 2, RGB(0, 0, 0))) << "frame";
      const TPixels client = TPixels::FromClient(list);
      EXPECT_TRUE(kvtest::ColourAt(client, client.Width() - 3, 2, Colour("COMBOBOX", "COLOR")))
          << "background";
    }
    const TPixels shown = TPixels::FromWindow(list);
    EXPECT_EQ(shown.CountOf(Colour("SCROLLBTNBOTTOM", "BORDERSMASK"), shown.Whole()) > 0, c.skinned)
        << "skinned bars";
    // The list asks for its colours at every paint: one brush serves them
    // all, and it goes with the box.
    HDC dc = GetDC(list);
    const auto colours = [&] {
      return reinterpret_cast<HGDIOBJ>(SendMessageW(box->Handle(), WM_CTLCOLORLISTBOX,
                                                    reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(list)));
    };
    HGDIOBJ brush = colours();
    if (c.skinned) {
      EXPECT_EQ(colours(), brush);
    }
    ReleaseDC(list, dc);
    Close(box);
    box->Free();
    if (c.skinned) {
      EXPECT_EQ(GetObjectType(brush), 0u) << "freed with the box";
    }
  }
}

// Wine's combo box sends its list no start- and stop-tracking messages:
// they are sent here by hand, around a click on the list's lower arrow as
// the list passes it on.
TEST_F(ComboSkinned, TheLongListScrollsByItsSkinnedBarAndStaysOpen) {
  Load();
  TsComboBox* box = AddCombo(20);
  box->SetDropDownCount(5);
  Show();
  box->SetDroppedDown(true);
  HWND list = box->ListHandle();
  ASSERT_TRUE(PumpUntil([&] { return box->ListAdapter() != nullptr && IsWindowVisible(list); }));
  TacComboListWnd* adapter = box->ListAdapter();
  SendMessageW(list, 0x1AE, 0, 0);
  EXPECT_TRUE(adapter->Tracking);
  RECT r{};
  GetWindowRect(list, &r);
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  const POINT arrow{r.right - 2 - bar / 2, r.bottom - 2 - bar / 2};
  POINT client = arrow;
  ScreenToClient(list, &client);
  SendMessageW(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
  SendMessageW(list, 0x1AF, 0, 0);
  EXPECT_FALSE(adapter->Tracking);
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 1);
  EXPECT_TRUE(box->DroppedDown());
  const TPixels printed = TPixels::FromPrint(list);
  EXPECT_GT(printed.CountOf(Colour("SCROLLBTNBOTTOM", "BORDERSMASK"), printed.Whole()), 0);
  Close(box);
}

TEST_F(ComboSkinned, AReadOnlyBoxRefusesEveryWayToItsListAndTyping) {
  Load();
  struct Way {
    const char* what;
    std::function<void(TsComboBox*)> act;
  };
  const Way ways[] = {
      {"click",
       [](TsComboBox* b) {
         kvtest::Click(b->Handle(), {b->Width() - 10, 10});
       }},
      {"F4", [](TsComboBox* b) { PostMessageW(b->Handle(), WM_KEYDOWN, VK_F4, 1); }},
      {"Alt+Down",
       [](TsComboBox* b) { PostMessageW(b->Handle(), WM_SYSKEYDOWN, VK_DOWN, 1 | 1 << 29); }},
      {"opened by code", [](TsComboBox* b) { b->SetDroppedDown(true); }},
  };
  for (bool readOnly : {true, false}) {
    for (const Way& way : ways) {
      SCOPED_TRACE(std::string(way.what) + (readOnly ? ", read-only" : ""));
      TsComboBox* box = AddCombo(3);
      box->SetItemIndex(0);
      box->SetReadOnly(readOnly);
      Show();
      box->SetFocus();
      way.act(box);
      PumpUntilIdle();
      EXPECT_EQ(box->DroppedDown(), !readOnly);
      EXPECT_TRUE(box->Focused());
      Close(box);
      box->Free();
    }
    SCOPED_TRACE(readOnly ? "typing, read-only" : "typing");
    TsComboBox* box = AddCombo(3);
    box->SetItemIndex(0);
    box->SetReadOnly(readOnly);
    Show();
    box->SetFocus();
    PostMessageW(box->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(box->Handle(), WM_CHAR, L'C', 1);
    PumpUntilIdle();
    EXPECT_EQ(box->ItemIndex() == 0, readOnly);
    box->Free();
  }
}

TEST_F(ComboSkinned, AfterTheSkinGoesTheBoxKeepsItsItemsAndSelectionInANewWindow) {
  Load();
  TsComboBox* box = AddCombo(5);
  box->SetItemIndex(3);
  Show();
  ASSERT_EQ(static_cast<std::uint32_t>(box->Color()), Colour("COMBOBOX", "COLOR"));
  HWND before = box->Handle();
  manager->SetActive(false);
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_NE(box->Handle(), before) << "made again";
  EXPECT_EQ(box->Items()->Count(), 5);
  EXPECT_EQ(box->ItemIndex(), 3);
  EXPECT_EQ(SendMessageW(box->Handle(), CB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(box->Color(), clWindow);
  EXPECT_EQ(box->Font()->Color(), clWindowText);
}

// A box whose list is open when the focus goes closes the list first; its
// close-up handler may free it (an editor put in place for one entry), and
// nothing touches it afterwards, in either style.
TEST_F(ComboSkinned, FreedByItsCloseUpAsTheFocusLeavesItIsLeftAlone) {
  Load();
  auto* other = Create<TsComboBox>(form);
  other->SetParent(form);
  other->SetBounds(20, 120, 160, 26);
  Show();
  for (const TComboBoxStyle style : {csDropDown, csDropDownList}) {
    SCOPED_TRACE(style == csDropDown ? "drop-down" : "drop-down list");
    const kvtest::TFreedMemoryCheck freed;
    TsComboBox* box = AddCombo(3, style);
    box->SetFocus();
    box->SetDroppedDown(true);
    ASSERT_TRUE(PumpUntilIdle());
    ASSERT_TRUE(box->DroppedDown());
    int calls = 0;
    box->OnCloseUp = [&](TObject*) {
      ++calls;
      box->Free();
    };
    other->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return calls > 0; })) << "the list never closed";
    PumpUntilIdle();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(freed.Faults(), 0u) << "the freed box was read";
  }
}

}  // namespace
}  // namespace kv
