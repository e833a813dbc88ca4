// Toolkit helpers without state that need no window system: path text and
// the message-box style chosen for a type and a set of buttons.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Types.h"
#include "skin/model/sConst.h"

namespace kv {

// Rectangles and numbers.
inline std::int32_t RectWidth(const TRect& r, bool check = false) {
  return check && r.Right < r.Left ? 0 : r.Right - r.Left;
}
inline std::int32_t RectHeight(const TRect& r, bool check = false) {
  return check && r.Bottom < r.Top ? 0 : r.Bottom - r.Top;
}
inline TRect BuildRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return {left, top, right, bottom};
}
// Not normalised: an empty intersection has Right < Left or Bottom < Top.
TRect RectIntersection(const TRect& a, const TRect& b);
bool RectsOverlap(const TRect& a, const TRect& b);
// Both corners of inner in outer, its right and bottom edges included.
bool RectWithinRect(const TRect& outer, const TRect& inner);
inline bool IsBetween(std::int32_t value, std::int32_t min, std::int32_t max) {
  return min <= value && value <= max;
}
inline std::int32_t LargerOf(std::int32_t a, std::int32_t b) { return a > b ? a : b; }
inline std::int32_t SmallerOf(std::int32_t a, std::int32_t b) { return a < b ? a : b; }
inline std::int32_t ClampToRange(std::int32_t value, std::int32_t min, std::int32_t max) {
  return value < min ? min : SmallerOf(value, max);
}
inline std::int32_t ClampToByte(std::int32_t value) { return value < 0 ? 0 : SmallerOf(value, 255); }
inline std::int32_t ChooseInt(bool cond, std::int32_t a, std::int32_t b) { return cond ? a : b; }
inline std::string ChooseStr(bool cond, std::string_view a, std::string_view b) {
  return std::string(cond ? a : b);
}
inline TsBgCacheInfo MakeBgCacheInfo(TBitmap* bmp, std::int32_t x, std::int32_t y) {
  return {bmp, x, y, TransparentColor, true};
}

// Words: maximal runs of characters not in the delimiter set; positions
// count from 1.
using TacCharSet = std::bitset<256>;
TacCharSet MakeCharSet(std::string_view chars);
inline bool CharInCharSet(char c, const TacCharSet& set) { return set[static_cast<unsigned char>(c)]; }
int CountWords(std::string_view s, const TacCharSet& delimiters);
// 0 when there are fewer than n words.
std::size_t NthWordPos(int n, std::string_view s, const TacCharSet& delimiters);
std::string NthWord(int n, std::string_view s, const TacCharSet& delimiters);
std::string StripChar(std::string_view s, char c);
// Every occurrence, left to right; the replacement is never searched again.
std::string ReplaceAll(std::string_view s, std::string_view oldText, std::string_view newText);

// A directory text ready for a file name to be appended: unchanged when
// empty or ending in "\"; a final "/" becomes "\"; a drive letter gets ":\".
std::string AddTrailingBackslash(std::string_view dir);

// Message-box types in the order of the class library's message-dialog types
// (warning, error, information, confirmation, custom).
enum class TacMsgType { Warning, Error, Information, Confirmation, Custom };

// The dialog buttons a message box may offer, as a set.
using TacMsgButtons = std::uint32_t;
namespace msgbtn {
inline constexpr TacMsgButtons Yes = 1u << 0, No = 1u << 1, OK = 1u << 2, Cancel = 1u << 3,
                               Abort = 1u << 4, Retry = 1u << 5, Ignore = 1u << 6, Help = 1u << 7;
}

// The platform's MessageBox flags (values fixed by the platform).
struct TacMessageBoxLook {
  std::uint32_t Style = 0;
  std::string Caption;
};

// The style and caption of a toolkit message box: the type's icon, always in
// the foreground and on top, the buttons' style; an empty caption takes the
// type's own ("Warning", "Error", "Information", "Confirm").
TacMessageBoxLook MessageBoxLook(TacMsgType type, TacMsgButtons buttons,
                                 std::string_view caption);

}  // namespace kv
