// Toolkit helpers that ask the system: files and folders, shell icons, the
// caption font, and a wait that keeps the messages flowing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

class TObject;

// Published properties by name (the class library's property registry); a
// property the object's class does not have gives false, null or -1, and
// setting it does nothing.
bool PropertyExists(TObject* obj, std::string_view name);
TObject* ObjectPropByName(TObject* obj, std::string_view name);
std::int64_t OrdPropByName(TObject* obj, std::string_view name);
void SetOrdPropByName(TObject* obj, std::string_view name, std::int64_t value);
// Whether a set property holds the element of exactly that name.
bool SetPropHasElement(TObject* obj, std::string_view propName, std::string_view elementName);
// Adds an element to, or removes it from, a set property.
void ChangeSetPropElement(TObject* obj, std::string_view propName, std::string_view elementName,
                          bool include);

bool DirExists(const std::string& path);
// The folder of the running program's file, ending in "\".
std::string ProgramFolder();
// A new icon (the caller destroys it) with the shell's icon of the file;
// size 0 large, 1 small. Null when the file does not exist or has no icon.
HICON FileIconOf(const std::string& fileName, int size);
// lfHeight of the system caption font; 0 when the system does not say.
int CaptionFontHeight();
// A new font (the caller deletes it) like the system caption font; 0 when
// the system does not say.
HFONT CreateCaptionFont();
// Returns after at least ms milliseconds, handling the application's
// messages all the while.
void WaitWithMessages(unsigned ms);

// The file search: one entry at a time, as the system gives them.
struct TacSearchRec {
  std::string Name;
  DWORD Attr = 0;
  HANDLE FindHandle = INVALID_HANDLE_VALUE;
  bool IsDirectory() const { return (Attr & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};
// 0 when an entry was found, else the system's error code.
int FileFindFirst(const std::string& mask, TacSearchRec& rec);
int FileFindNext(TacSearchRec& rec);
void FileFindClose(TacSearchRec& rec);

}  // namespace kv
