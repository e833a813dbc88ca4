#include "skin/core/acUtils_win.h"

#include <shellapi.h>

#include "base/StringList.h"
#include "base/SysUtils.h"
#include "classlib/Forms.h"
#include "classlib/PlatformCalls.h"
#include "classlib/TypInfo.h"
#include "classlib/WideText.h"

namespace kv {

bool PropertyExists(TObject* obj, std::string_view name) {
  return GetPropInfo(obj, name) != nullptr;
}

TObject* ObjectPropByName(TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  return p != nullptr && p->Kind == TPropKind::Object ? GetObjectProp(*obj, *p) : nullptr;
}

std::int64_t OrdPropByName(TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  return p != nullptr && p->Kind != TPropKind::Object ? GetOrdProp(*obj, *p) : -1;
}

void SetOrdPropByName(TObject* obj, std::string_view name, std::int64_t value) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (p != nullptr && p->Kind != TPropKind::Object) SetOrdProp(*obj, *p, value);
}

namespace {

const TPropInfo* SetProp(TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  return p != nullptr && p->Kind == TPropKind::Set ? p : nullptr;
}

}  // namespace

bool SetPropHasElement(TObject* obj, std::string_view propName, std::string_view elementName) {
  const TPropInfo* p = SetProp(obj, propName);
  if (p == nullptr) return false;
  const auto bits = static_cast<std::uint32_t>(GetOrdProp(*obj, *p));
  for (size_t i = 0; i < p->ElementNames.size() && i < 32; ++i)
    if (p->ElementNames[i] == elementName) return (bits & (1u << i)) != 0;
  return false;
}

void ChangeSetPropElement(TObject* obj, std::string_view propName, std::string_view elementName,
                          bool include) {
  const TPropInfo* p = SetProp(obj, propName);
  if (p == nullptr) return;
  // Edited as a list of names, not as text: removing "ak" must not cut "akTop".
  TStringList names;
  names.SetText(StringReplaceAll(GetSetPropText(*obj, *p), ",", "\n"));
  const int at = names.IndexOf(elementName);
  if (include == (at >= 0)) return;
  if (include)
    names.Add(std::string(elementName));
  else
    names.Delete(at);
  SetSetPropText(*obj, *p, names.Join(","));
}

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
  // Differences of the 32-bit tick stay right across its wrap.
  const DWORD start = PlatformCalls().TickCount();
  for (;;) {
    if (Application != nullptr) Application->ProcessMessages();
    const DWORD passed = PlatformCalls().TickCount() - start;
    if (passed >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
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
