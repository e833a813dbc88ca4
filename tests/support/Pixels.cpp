#include "support/Pixels.h"

#include <cstdio>
#include <fstream>

namespace kvtest {
namespace {

std::string Hex(COLORREF c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%06lx", static_cast<unsigned long>(c));
  return buf;
}

std::string Rect(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// GDI keeps 32-bit DIB pixels as 0x00RRGGBB, COLORREF is 0x00BBGGRR.
constexpr COLORREF ToColorRef(std::uint32_t p) {
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}
constexpr std::uint32_t FromColorRef(COLORREF c) {
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// A top-down 32-bit DIB section selected into a memory DC for as long as it lives.
class TDibTarget {
 public:
  TDibTarget(int width, int height) : width_(width), height_(height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    dib_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(dc_, dib_);
  }
  ~TDibTarget() {
    SelectObject(dc_, old_);
    DeleteObject(dib_);
    DeleteDC(dc_);
  }
  HDC DC() const { return dc_; }
  TPixels Pixels() const {
    GdiFlush();
    TPixels img(width_, height_);
    const auto* p = static_cast<const std::uint32_t*>(bits_);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) img.Set(x, y, ToColorRef(p[y * width_ + x]));
    return img;
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP dib_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

SIZE WindowSize(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) return "pixels";
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  return name;
}

}  // namespace

TPixels::TPixels(int width, int height, COLORREF fill)
    : width_(width),
      height_(height),
      px_(static_cast<size_t>(width > 0 ? width : 0) * (height > 0 ? height : 0), fill) {}

COLORREF TPixels::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  return px_[static_cast<size_t>(y) * width_ + x];
}

void TPixels::Set(int x, int y, COLORREF c) {
  if (x >= 0 && y >= 0 && x < width_ && y < height_) px_[static_cast<size_t>(y) * width_ + x] = c;
}

TPixels TPixels::FromDC(HDC dc, const RECT& area) {
  TDibTarget target(area.right - area.left, area.bottom - area.top);
  BitBlt(target.DC(), 0, 0, area.right - area.left, area.bottom - area.top, dc, area.left, area.top,
         SRCCOPY);
  return target.Pixels();
}

TPixels TPixels::FromClient(HWND wnd) {
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT rc{};
  GetClientRect(wnd, &rc);
  HDC dc = GetDC(wnd);
  TPixels img = FromDC(dc, rc);
  ReleaseDC(wnd, dc);
  return img;
}

TPixels TPixels::FromWindow(HWND wnd) {
  RedrawWindow(wnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const SIZE size = WindowSize(wnd);
  HDC dc = GetWindowDC(wnd);
  TPixels img = FromDC(dc, {0, 0, size.cx, size.cy});
  ReleaseDC(wnd, dc);
  return img;
}

TPixels TPixels::FromPrintWindow(HWND wnd, UINT flags) {
  const SIZE size = WindowSize(wnd);
  TDibTarget target(size.cx, size.cy);
  if (!PrintWindow(wnd, target.DC(), flags)) return {};
  return target.Pixels();
}

TPixels TPixels::FromPrint(HWND wnd, UINT flags) {
  SIZE size = WindowSize(wnd);
  if (!(flags & PRF_NONCLIENT)) {
    RECT rc{};
    GetClientRect(wnd, &rc);
    size = {rc.right, rc.bottom};
  }
  TDibTarget target(size.cx, size.cy);
  SendMessageW(wnd, WM_PRINT, reinterpret_cast<WPARAM>(target.DC()), flags);
  return target.Pixels();
}

TPixels TPixels::FromBitmap(HBITMAP bitmap) {
  GdiFlush();
  BITMAP info{};
  if (GetObjectW(bitmap, sizeof info, &info) == 0) return {};
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  TPixels img = FromDC(dc, {0, 0, info.bmWidth, info.bmHeight});
  SelectObject(dc, old);
  DeleteDC(dc);
  return img;
}

TPixels TPixels::FromBitmap(const kv::TBitmap& bitmap) {
  GdiFlush();  // its pixels may be a DIB section that GDI still draws into
  TPixels img(bitmap.Width(), bitmap.Height());
  const int bpp = bitmap.BytesPerPixel();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      const std::uint8_t* p = row + x * bpp;
      img.Set(x, y, bpp >= 3 ? RGB(p[2], p[1], p[0]) : RGB(p[0], p[0], p[0]));
    }
  }
  return img;
}

TPixels TPixels::Crop(const RECT& area) const {
  TPixels img(area.right - area.left, area.bottom - area.top);
  for (int y = 0; y < img.height_; ++y)
    for (int x = 0; x < img.width_; ++x) img.Set(x, y, At(area.left + x, area.top + y));
  return img;
}

RECT TPixels::BoundsOf(COLORREF c) const {
  RECT r{width_, height_, 0, 0};
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (At(x, y) == c) {
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
  if (r.right <= r.left) return {0, 0, 0, 0};
  return r;
}

int TPixels::CountOf(COLORREF c, const RECT& area) const {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) n += At(x, y) == c;
  return n;
}

int TPixels::CountDiffering(COLORREF background, const RECT& area) const {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const COLORREF p = At(x, y);
      n += p != CLR_INVALID && p != background;
    }
  return n;
}

bool TPixels::WriteBmp(const std::string& fileName) const {
  const int stride = (width_ * 3 + 3) & ~3;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof ih;
  ih.biWidth = width_;
  ih.biHeight = height_;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(stride * height_);
  std::ofstream out(fileName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.write(reinterpret_cast<const char*>(&ih), sizeof ih);
  std::vector<std::uint8_t> row(stride);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      const COLORREF c = At(x, y);
      row[3 * x] = GetBValue(c);
      row[3 * x + 1] = GetGValue(c);
      row[3 * x + 2] = GetRValue(c);
    }
    out.write(reinterpret_cast<const char*>(row.data()), stride);
  }
  return static_cast<bool>(out);
}

// Failure pictures go to the temporary folder, never beside the sources or the build.
std::string TPixels::Dump(const std::string& what) const {
  char temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(MAX_PATH, temp);
  const std::string name =
      std::string(temp, length <= MAX_PATH ? length : 0) + TestName() + "-" + what + ".bmp";
  return WriteBmp(name) ? name : name + " (not written)";
}

::testing::AssertionResult ColourAt(const TPixels& img, int x, int y, COLORREF expected) {
  const COLORREF got = img.At(x, y);
  if (got == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "at (" << x << "," << y << ") expected " << Hex(expected)
                                       << ", got " << Hex(got) << "; image " << img.Dump("actual");
}

::testing::AssertionResult ColourOnlyInside(const TPixels& img, COLORREF c, const RECT& area) {
  const RECT b = img.BoundsOf(c);
  if (b.right > b.left && b.left >= area.left && b.top >= area.top && b.right <= area.right &&
      b.bottom <= area.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "colour " << Hex(c) << " expected inside " << Rect(area) << ", found in " << Rect(b)
         << "; image " << img.Dump("actual");
}

::testing::AssertionResult NoColourInside(const TPixels& img, COLORREF c, const RECT& area) {
  const int n = img.CountOf(c, area);
  if (n == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "colour " << Hex(c) << " expected nowhere in " << Rect(area) << ", got " << n
         << " pixels; image " << img.Dump("actual");
}

::testing::AssertionResult SameImage(const TPixels& actual, const TPixels& expected) {
  std::string why;
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height()) {
    why = "expected size " + std::to_string(expected.Width()) + "x" +
          std::to_string(expected.Height()) + ", got " + std::to_string(actual.Width()) + "x" +
          std::to_string(actual.Height());
  } else {
    for (int y = 0; y < actual.Height() && why.empty(); ++y)
      for (int x = 0; x < actual.Width() && why.empty(); ++x)
        if (actual.At(x, y) != expected.At(x, y))
          why = "first difference at (" + std::to_string(x) + "," + std::to_string(y) +
                "): expected " + Hex(expected.At(x, y)) + ", got " + Hex(actual.At(x, y));
  }
  if (why.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << why << "; images " << actual.Dump("actual") << " and " << expected.Dump("expected");
}

bool ImagesDiffer(const TPixels& a, const TPixels& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return true;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.At(x, y) != b.At(x, y)) return true;
  return false;
}

}  // namespace kvtest
