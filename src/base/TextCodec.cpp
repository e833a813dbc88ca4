#include "base/TextCodec.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace kv {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at text[i] and advances i; bad input takes one byte.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  int extra = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07, min = 0x10000;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + extra >= text.size()) {  // sequence cut by the end of the text
    ++i;
    return kReplacement;
  }
  for (int k = 1; k <= extra; ++k) {
    const unsigned char c = byte(i + k);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += extra + 1;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char32_t cp = DecodeUtf8(text, i);
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

// Code page 936. Both directions go through one table built from the
// platform's own mapping, so the native and Windows builds split, replace and
// truncate text the same way.
namespace {

constexpr int kTrailCount = 191;  // trail bytes 0x40..0xFE
constexpr int kPairCount = 126 * kTrailCount;

struct Cp936Table {
  char16_t singles[128] = {};
  std::vector<char16_t> pairs = std::vector<char16_t>(kPairCount);
  std::vector<uint16_t> encode = std::vector<uint16_t>(0x10000);  // 0 = none
};

const Cp936Table& Table() {
  static std::once_flag once;
  static std::unique_ptr<Cp936Table> table;
  std::call_once(once, [] {
    auto t = std::make_unique<Cp936Table>();
    detail::LoadCp936(t->singles, t->pairs.data());
    for (int i = 0; i < 128; ++i) {
      const char16_t u = t->singles[i];
      if (u != 0 && t->encode[u] == 0) t->encode[u] = static_cast<uint16_t>(0x80 + i);
    }
    for (int i = 0; i < kPairCount; ++i) {
      const char16_t u = t->pairs[i];
      if (u == 0 || u < 0x80 || t->encode[u] != 0) continue;  // first code wins
      t->encode[u] =
          static_cast<uint16_t>(((0x81 + i / kTrailCount) << 8) | (0x40 + i % kTrailCount));
    }
    table = std::move(t);
  });
  return *table;
}

bool IsGbkTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
  const Cp936Table& t = Table();
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const char32_t cp = DecodeUtf8(utf8, i);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    if (IsGbkByteEscape(cp)) {
      out += static_cast<char>(cp - GbkByteEscapeBase);
      continue;
    }
    const uint16_t code = cp < 0x10000 && cp != kReplacement ? t.encode[cp] : 0;
    if (code == 0) {
      out += '?';
    } else if (code < 0x100) {
      out += static_cast<char>(code);
    } else {
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    }
  }
  return out;
}

namespace {

// A decoded character stands for its bytes only when it encodes back to
// them: not where two codes share one character, nor on a byte escape.
bool RoundTrips(const Cp936Table& t, char16_t u, uint16_t code) {
  return u != 0 && !(u >= 0xD800 && u <= 0xDFFF) && !IsGbkByteEscape(u) && t.encode[u] == code;
}

void AppendByteEscape(std::string& out, unsigned char b) {
  if (b < 0x80) {
    out += static_cast<char>(b);
  } else {
    AppendUtf8(out, GbkByteEscapeBase + b);
  }
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  const Cp936Table& t = Table();
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  for (size_t i = 0; i < gbk.size();) {
    const auto b = static_cast<unsigned char>(gbk[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    if (IsGbkLeadByte(b) && i + 1 < gbk.size() &&
        IsGbkTrailByte(static_cast<unsigned char>(gbk[i + 1]))) {
      const auto trail = static_cast<unsigned char>(gbk[i + 1]);
      const char16_t u = t.pairs[(b - 0x81) * kTrailCount + (trail - 0x40)];
      if (RoundTrips(t, u, static_cast<uint16_t>((b << 8) | trail))) {
        AppendUtf8(out, u);
      } else {
        AppendByteEscape(out, b);
        AppendByteEscape(out, trail);
      }
      i += 2;
      continue;
    }
    // A lone byte: either a single-byte character or a stray lead byte.
    const char16_t u = IsGbkLeadByte(b) ? 0 : t.singles[b - 0x80];
    if (RoundTrips(t, u, b)) {
      AppendUtf8(out, u);
    } else {
      AppendByteEscape(out, b);
    }
    ++i;
  }
  return out;
}

std::string GbkTruncate(std::string_view gbk, size_t maxBytes) {
  size_t end = 0;
  while (end < gbk.size()) {
    const auto b = static_cast<unsigned char>(gbk[end]);
    const size_t len = IsGbkLeadByte(b) && end + 1 < gbk.size() &&
                               IsGbkTrailByte(static_cast<unsigned char>(gbk[end + 1]))
                           ? 2
                           : 1;
    if (end + len > maxBytes) break;
    end += len;
  }
  return std::string(gbk.substr(0, end));
}

}  // namespace kv
