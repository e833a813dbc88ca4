#include "skin/core/acUtils_win.h"

#include <shellapi.h>

#include "base/SysUtils.h"
#include "classlib/Forms.h"
#include "classlib/WideText.h"

namespace kv {

bool DirExists(const std::string& path) {
  const DWORD attr = GetFileAttributesW(Wide(path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ProgramFolder() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n < name.size()) {
      name.resize(n);
      break;
    }
    name.resize(name.size() * 2);
  }
  return ExtractFilePath(Narrow(name));
}

HICON FileIconOf(const std::string& fileName, int size) {
  if (!FileExists(fileName)) return nullptr;
  SHFILEINFOW info{};
  const UINT flags = SHGFI_ICON | (size == 1 ? SHGFI_SMALLICON : SHGFI_LARGEICON);
  if (SHGetFileInfoW(Wide(fileName).c_str(), 0, &info, sizeof(info), flags) == 0) return nullptr;
  return info.hIcon;
}

namespace {

bool CaptionLogFont(LOGFONTW& font) {
  NONCLIENTMETRICSW metrics{};
  // The size without iPaddedBorderWidth, which every system version accepts.
  metrics.cbSize = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
  font = metrics.lfCaptionFont;
  return true;
}

}  // namespace

int CaptionFontHeight() {
  LOGFONTW font{};
  return CaptionLogFont(font) ? font.lfHeight : 0;
}

HFONT CreateCaptionFont() {
  LOGFONTW font{};
  return CaptionLogFont(font) ? CreateFontIndirectW(&font) : nullptr;
}

void WaitWithMessages(unsigned ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    if (Application != nullptr) Application->ProcessMessages();
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

namespace {

void FillRec(const WIN32_FIND_DATAW& data, TacSearchRec& rec) {
  rec.Name = Narrow(data.cFileName);
  rec.Attr = data.dwFileAttributes;
}

}  // namespace

int FileFindFirst(const std::string& mask, TacSearchRec& rec) {
  WIN32_FIND_DATAW data{};
  rec.FindHandle = FindFirstFileW(Wide(mask).c_str(), &data);
  if (rec.FindHandle == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  FillRec(data, rec);
  return 0;
}

int FileFindNext(TacSearchRec& rec) {
  WIN32_FIND_DATAW data{};
  if (rec.FindHandle == INVALID_HANDLE_VALUE || !FindNextFileW(rec.FindHandle, &data))
    return static_cast<int>(GetLastError());
  FillRec(data, rec);
  return 0;
}

void FileFindClose(TacSearchRec& rec) {
  if (rec.FindHandle != INVALID_HANDLE_VALUE) FindClose(rec.FindHandle);
  rec.FindHandle = INVALID_HANDLE_VALUE;
}

}  // namespace kv
