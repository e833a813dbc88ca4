#include "app/Funs_Unt.h"

#include <algorithm>

#include "base/SysUtils.h"
#include "base/TextCodec.h"

namespace kv {

std::string GetProgramVersion(std::string_view) { return "V2.2"; }

std::string ReverseString(std::string_view text) {
  std::u16string wide = Utf8ToUtf16(text);
  std::reverse(wide.begin(), wide.end());
  // Reversing swapped the halves of every surrogate pair; put them back.
  for (std::size_t i = 0; i + 1 < wide.size(); ++i) {
    if (wide[i] >= 0xDC00 && wide[i] <= 0xDFFF && wide[i + 1] >= 0xD800 && wide[i + 1] <= 0xDBFF) {
      std::swap(wide[i], wide[i + 1]);
      ++i;
    }
  }
  return Utf16ToUtf8(wide);
}

int LowSevenBits(int value) { return value & 127; }

bool ByteToBool(std::uint8_t value) { return value != 0; }

char BoolToBitChar(bool value) { return value ? '1' : '0'; }

std::string BytesToStr(std::span<const std::uint8_t> field) {
  std::string text;
  if (field.empty() || field[0] == 0) return text;
  for (std::uint8_t byte : field) {
    if (byte != 0xFF) text.push_back(static_cast<char>(byte));
  }
  return text;
}

void StrToBytes(std::string_view text, std::span<std::uint8_t> field) {
  std::fill(field.begin(), field.end(), std::uint8_t{0});
  const bool blank = std::all_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) <= ' '; });
  if (blank) return;
  const std::size_t n = std::min(text.size(), field.size());
  for (std::size_t i = 0; i < n; ++i) field[i] = static_cast<std::uint8_t>(text[i]);
}

std::string IntToBin(std::int32_t value, int digits) {
  std::string text;
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = digits - 1; i >= 0; --i) text.push_back(i < 32 && ((bits >> i) & 1u) ? '1' : '0');
  return text;
}

std::int64_t BinToInt(std::string_view text) {
  std::uint64_t value = 0;
  for (char c : text) value = (value << 1) | (c == '1' ? 1u : 0u);
  return static_cast<std::int64_t>(value);
}

void FilterAlnumKey(char16_t& key) {
  const bool allowed = key == 8 || key == 13 || key == 127 || (key >= u'0' && key <= u'9') ||
                       (key >= u'A' && key <= u'Z') || (key >= u'a' && key <= u'z');
  if (!allowed) key = 0;
}

std::vector<std::string> FindFilesRecursive(const std::string& folder, std::string_view extension) {
  std::vector<std::string> files;
  const std::string dir = IncludeTrailingPathDelimiter(Trim(folder));
  if (!DirectoryExists(dir)) return files;
  const bool every = extension == ".*";
  for (std::string& path : FindFiles(dir, "*", true))
    if (every || SameText(ExtractFileExt(path), extension)) files.push_back(std::move(path));
  const auto less = [](const std::string& a, const std::string& b) {
    return CompareText(a, b) < 0;
  };
  std::sort(files.begin(), files.end(), less);
  const auto same = [](const std::string& a, const std::string& b) { return SameText(a, b); };
  files.erase(std::unique(files.begin(), files.end(), same), files.end());
  return files;
}

}  // namespace kv
