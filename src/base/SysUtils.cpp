#include "base/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kv {

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
bool IsDelimiter(char c) { return c == '\\' || c == '/' || c == ':'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string IntToHex(int64_t value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  auto u = static_cast<uint64_t>(value);
  std::string out;
  do {
    out.insert(out.begin(), kDigits[u & 0xF]);
    u >>= 4;
  } while (u != 0);
  if (static_cast<int>(out.size()) < digits) out.insert(0, digits - out.size(), '0');
  return out;
}

namespace {

// Where the digits of an integer text begin: after leading blanks and a sign.
size_t DigitsStart(std::string_view text, bool& negative) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  return i;
}

}  // namespace

bool TryStrToInt(std::string_view text, int32_t& value) {
  bool negative = false;
  size_t i = DigitsStart(text, negative);
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return false;
  uint64_t magnitude = 0;
  const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  for (; i < text.size(); ++i) {
    const int d = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (d < 0) return false;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(d);
    if (magnitude > limit) return false;
  }
  // Hexadecimal texts are 32-bit patterns; decimal ones were range-checked.
  const auto bits = static_cast<uint32_t>(magnitude);
  const auto pattern = static_cast<int32_t>(bits);
  value = negative ? static_cast<int32_t>(0u - bits) : pattern;
  return true;
}

bool TryStrToDecimal(std::string_view text, int32_t& value) {
  bool negative = false;
  size_t i = DigitsStart(text, negative);
  if (i == text.size()) return false;
  const uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    // Held at the limit: however many digits follow, the value stays out of range.
    magnitude = std::min(limit, magnitude * 10 + static_cast<uint64_t>(text[i] - '0'));
  }
  value = negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(magnitude))
                   : static_cast<int32_t>(magnitude);
  return true;
}

int32_t StrToDecimalDef(std::string_view text, int32_t def) {
  int32_t value = 0;
  return TryStrToDecimal(text, value) ? value : def;
}

int32_t StrToInt(std::string_view text) {
  int32_t value = 0;
  if (!TryStrToInt(text, value)) {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  }
  return value;
}

int32_t StrToIntDef(std::string_view text, int32_t def) {
  int32_t value = 0;
  return TryStrToInt(text, value) ? value : def;
}

bool TryStrToFloat(std::string_view text, double& value) {
  const std::string t = Trim(text);
  std::string_view digits(t);
  const bool plus = !digits.empty() && digits.front() == '+';
  if (plus) digits.remove_prefix(1);
  if (digits.empty() || (plus && digits.front() == '-')) return false;
  double parsed = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed,
                                            std::chars_format::general);
  if (error != std::errc() || end != digits.data() + digits.size()) return false;
  value = parsed;
  return true;
}

double StrToFloatDef(std::string_view text, double def) {
  double value = 0;
  return TryStrToFloat(text, value) ? value : def;
}

std::string FormatTenths(int64_t tenths) {
  const uint64_t magnitude =
      tenths < 0 ? 0 - static_cast<uint64_t>(tenths) : static_cast<uint64_t>(tenths);
  std::string out = tenths < 0 ? "-" : "";
  out += std::to_string(magnitude / 10);
  out += '.';
  out += static_cast<char>('0' + magnitude % 10);
  return out;
}

std::string FormatFloat(std::string_view pattern, double value) {
  int decimals = 0;
  const size_t dot = pattern.find('.');
  if (dot != std::string_view::npos) {
    for (size_t i = dot + 1; i < pattern.size() && (pattern[i] == '0' || pattern[i] == '#'); ++i) {
      ++decimals;
    }
  }
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  // Round half away from zero on the 15-digit decimal form of the value, so
  // that 0.05 gives "0.1" although its binary form lies below.
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
  std::string digits;
  for (const char* p = buffer; *p != 'e'; ++p) {
    if (*p != '.') digits += *p;
  }
  const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
  // digits holds d0.d1d2... x 10^exponent; keep the digits before the cut.
  const int keep = exponent + 1 + decimals;
  std::string kept;  // integer text of value x 10^decimals
  if (keep <= 0) {
    kept = (keep == 0 && digits[0] >= '5') ? "1" : "0";
  } else {
    kept = keep >= static_cast<int>(digits.size()) ? digits + std::string(keep - digits.size(), '0')
                                                   : digits.substr(0, keep);
    if (keep < static_cast<int>(digits.size()) && digits[keep] >= '5') {
      int i = static_cast<int>(kept.size()) - 1;
      while (i >= 0 && kept[i] == '9') kept[i--] = '0';
      if (i < 0) {
        kept.insert(kept.begin(), '1');
      } else {
        ++kept[i];
      }
    }
  }
  if (static_cast<int>(kept.size()) <= decimals) {
    kept.insert(0, decimals + 1 - kept.size(), '0');
  }
  std::string out = kept.substr(0, kept.size() - decimals);
  const size_t first = out.find_first_not_of('0');
  out = first == std::string::npos ? "0" : out.substr(first);
  if (decimals > 0) out += "." + kept.substr(kept.size() - decimals);
  if (value < 0 && kept.find_first_not_of('0') != std::string::npos) out.insert(0, "-");
  return out;
}

std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

std::string TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
  return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
  return std::string(s.substr(0, n));
}

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(UpperAscii(a[i]));
    const auto cb = static_cast<unsigned char>(UpperAscii(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

size_t Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  const size_t at = s.find(sub);
  return at == std::string_view::npos ? 0 : at + 1;
}

std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  size_t start = 0;
  for (size_t at = s.find(from); at != std::string_view::npos; at = s.find(from, start)) {
    out.append(s.substr(start, at - start));
    out.append(to);
    start = at + from.size();
  }
  out.append(s.substr(start));
  return out;
}

bool StartsText(std::string_view prefix, std::string_view s) {
  return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

bool EndsText(std::string_view suffix, std::string_view s) {
  return s.size() >= suffix.size() && SameText(s.substr(s.size() - suffix.size()), suffix);
}

std::string ExtractFileName(std::string_view path) {
  size_t i = path.size();
  while (i > 0 && !IsDelimiter(path[i - 1])) --i;
  return std::string(path.substr(i));
}

std::string ExtractFilePath(std::string_view path) {
  size_t i = path.size();
  while (i > 0 && !IsDelimiter(path[i - 1])) --i;
  return std::string(path.substr(0, i));
}

std::string ExtractFileExt(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    const char c = path[i - 1];
    if (c == '.') return std::string(path.substr(i - 1));
    if (IsDelimiter(c)) break;
  }
  return {};
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  const std::string old = ExtractFileExt(path);
  return std::string(path.substr(0, path.size() - old.size())) + std::string(ext);
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string out(path);
  if (out.empty() || (out.back() != '\\' && out.back() != '/')) out += PathDelim();
  return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
  std::string out(path);
  if (!out.empty() && (out.back() == '\\' || out.back() == '/')) out.pop_back();
  return out;
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  // Iterative glob with back-tracking to the last star.
  size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || UpperAscii(mask[m]) == UpperAscii(name[n]))) {
      ++n, ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

namespace {

// Files of a folder first, then its subfolders', depth first.
void Walk(const std::string& dir, std::string_view mask, bool recursive,
          std::vector<std::string>& out) {
  std::vector<std::string> subdirs;
  for (detail::TDirEntry& e : detail::ReadDirectory(dir)) {
    if (e.IsDirectory) {
      if (recursive) subdirs.push_back(dir + e.Name + PathDelim());
    } else if (MatchesMask(e.Name, mask)) {
      out.push_back(dir + e.Name);
    }
  }
  for (const std::string& sub : subdirs) Walk(sub, mask, recursive, out);
}

}  // namespace

std::vector<std::string> FindFiles(const std::string& dir, std::string_view mask, bool recursive) {
  std::vector<std::string> out;
  if (DirectoryExists(dir)) Walk(IncludeTrailingPathDelimiter(dir), mask, recursive, out);
  return out;
}

}  // namespace kv
