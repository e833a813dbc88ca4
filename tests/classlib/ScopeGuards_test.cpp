// The drawing scope guards undo their change however the scope is left.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "classlib/Graphics.h"

using namespace kv;

namespace {

TEST(ScopeGuards, ContextAndCanvasComeBackWhenAPainterThrows) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontW(20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
  const HGDIOBJ ownFont = GetCurrentObject(dc, OBJ_FONT);
  TCanvas canvas;
  try {
    const TSavedDC saved(dc);
    SetWindowOrgEx(dc, 7, 9, nullptr);
    const TSelectedObject selected(dc, font);
    const TCanvasBinding binding(canvas, dc, true);
    EXPECT_EQ(canvas.Handle(), dc);
    throw std::runtime_error("painter failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(canvas.HandleAllocated());
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ownFont);
  POINT org{-1, -1};
  GetWindowOrgEx(dc, &org);
  EXPECT_EQ(org.x + org.y, 0);
  DeleteDC(dc);
  DeleteObject(font);
}

}  // namespace
