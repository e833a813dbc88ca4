// TTreeView: nodes kept in the objects and mirrored into the window, also
// across a new window; selection and text changes.
#include "classlib/TreeViews.h"

#include <gtest/gtest.h>

#include "ListsTest.h"
#include "classlib/WideText.h"

using namespace kv;

namespace {

std::string NodeText(HWND wnd, HTREEITEM id) {
  wchar_t buf[64] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = id;
  item.pszText = buf;
  item.cchTextMax = 64;
  SendMessageW(wnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return Narrow(buf);
}

class TreeViewTest : public kvtest::ListsFormTest {};

TEST_F(TreeViewTest, NodesBeforeAndAfterTheWindowShowAndSurviveANewWindow) {
  TTreeView* tree = Create<TTreeView>(form);
  TTreeNode* root = tree->Items()->AddChild(nullptr, "Skins");
  tree->Items()->AddChild(root, "Default");
  tree->SetParent(form);
  tree->SetBounds(10, 10, 200, 200);
  TTreeNode* second = tree->Items()->AddChild(root, "Dark");
  root->Expand();
  HWND wnd = tree->Handle();
  EXPECT_EQ(SendMessageW(wnd, TVM_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(tree->Items()->Count(), 3);
  EXPECT_EQ(second->Index(), 1);
  EXPECT_EQ(second->Level(), 1);
  second->SetText("Night");
  EXPECT_EQ(NodeText(wnd, second->ItemId()), "Night");

  int changes = 0;
  tree->OnChange = [&](TObject*) { ++changes; };
  tree->SetSelected(second);
  EXPECT_EQ(tree->Selected(), second);
  EXPECT_EQ(changes, 1);

  tree->RecreateWnd();
  wnd = tree->Handle();
  EXPECT_EQ(SendMessageW(wnd, TVM_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(NodeText(wnd, second->ItemId()), "Night");
  EXPECT_EQ(tree->Selected(), second);
  EXPECT_TRUE(root->Expanded());

  tree->Items()->Delete(second);
  // The window moves the selection to a node that is still there.
  EXPECT_NE(tree->Selected(), second);
  EXPECT_TRUE(tree->Selected() == nullptr || tree->Selected() == root ||
              tree->Selected() == root->Item(0));
  EXPECT_EQ(root->Count(), 1);
  tree->Items()->Clear();
  EXPECT_EQ(SendMessageW(wnd, TVM_GETCOUNT, 0, 0), 0);
}

}  // namespace
