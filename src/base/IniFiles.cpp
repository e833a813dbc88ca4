#include "base/IniFiles.h"

#include <algorithm>
#include <vector>

#include "base/Streams.h"
#include "base/StringList.h"
#include "base/TextCodec.h"

namespace kv {

namespace {

// One line of the file as bytes, with the line end it had.
struct Line {
  std::string text;
  std::string end;
};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Code page 936 names compared with ASCII case folded; the trail byte of a
// double-byte character is never folded.
bool SameGbkName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    if (IsGbkLeadByte(ca) && i + 1 < a.size()) {
      if (ca != cb || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    const auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
    if (fold(ca) != fold(cb)) return false;
  }
  return true;
}

std::vector<Line> SplitLines(std::string_view bytes) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = start;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    size_t next = end;
    if (next < bytes.size() && bytes[next] == '\r') ++next;
    if (next < bytes.size() && bytes[next] == '\n') ++next;
    lines.push_back({std::string(bytes.substr(start, end - start)),
                     std::string(bytes.substr(end, next - end))});
    start = next;
  }
  return lines;
}

// A line whose first non-blank character is "[" and that holds a "]" names a
// section: the text up to the last "]", trimmed (as Windows reads it).
bool SectionOf(std::string_view line, std::string_view& name) {
  line = TrimView(line);
  if (line.empty() || line.front() != '[') return false;
  line.remove_prefix(1);
  // "]" (0x5D) can be the second byte of a Chinese character.
  size_t close = std::string_view::npos;
  for (size_t i = 0; i < line.size();) {
    if (line[i] == ']') close = i;
    i += IsGbkLeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1;
  }
  if (close == std::string_view::npos) return false;
  name = TrimView(line.substr(0, close));
  return true;
}

// Any other line with "=" holds a key; lines without one are ignored, and a
// ";" at the start makes no difference to a look-up (only to the lists).
bool KeyOf(std::string_view line, std::string_view& key, std::string_view& value) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = TrimView(line.substr(0, eq));
  value = TrimView(line.substr(eq + 1));
  return true;
}

bool Listed(std::string_view key) { return key.empty() || key.front() != ';'; }

// Matching single or double quotes around a value are dropped.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

struct Span {
  size_t header;  // index of the "[name]" line
  size_t end;     // one past its last line
};

size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
  std::string_view name;
  size_t i = header + 1;
  while (i < lines.size() && !SectionOf(lines[i].text, name)) ++i;
  return i;
}

std::vector<Span> FindSections(const std::vector<Line>& lines, std::string_view gbkName) {
  std::vector<Span> spans;
  std::string_view name;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (SectionOf(lines[i].text, name) && SameGbkName(name, gbkName)) {
      spans.push_back({i, SectionEnd(lines, i)});
    }
  }
  return spans;
}

// Index of the first key line of that name inside the span, or span.end.
size_t FindKey(const std::vector<Line>& lines, Span span, std::string_view gbkKey) {
  std::string_view key, value;
  for (size_t i = span.header + 1; i < span.end; ++i) {
    if (KeyOf(lines[i].text, key, value) && SameGbkName(key, gbkKey)) return i;
  }
  return span.end;
}

std::vector<Line> Load(const std::string& fileName) {
  try {
    return SplitLines(ReadFileBytes(fileName));
  } catch (const EStreamError&) {
    return {};  // no file, or one that cannot be read: nothing in it
  }
}

void Store(const std::string& fileName, const std::vector<Line>& lines) {
  std::string bytes;
  for (const Line& line : lines) bytes += line.text + line.end;
  try {
    // Rewrite in place rather than empty the file first: emptying makes some
    // file systems flush at once, which costs milliseconds per key.
    const bool exists = FileExists(fileName);
    TFileStream file(fileName, exists ? fmOpenReadWrite : fmCreate);
    file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    if (file.Size() > static_cast<int64_t>(bytes.size())) {
      file.SetSize(static_cast<int64_t>(bytes.size()));
    }
    file.Flush();
  } catch (const EStreamError&) {
    throw EIniFileException("Unable to write to " + fileName);
  }
}

std::string Gbk(std::string_view utf8Name) { return Utf8ToGbk(Trim(utf8Name)); }

std::string OneLine(std::string_view value) {
  std::string out(value);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

}  // namespace

std::string TIniFile::ReadString(std::string_view section, std::string_view ident,
                                 const std::string& def) const {
  const std::vector<Line> lines = Load(fileName_);
  const std::vector<Span> spans = FindSections(lines, Gbk(section));
  if (spans.empty()) return def;
  const size_t at = FindKey(lines, spans.front(), Gbk(ident));
  if (at == spans.front().end) return def;
  std::string_view key, value;
  KeyOf(lines[at].text, key, value);
  return GbkToUtf8(Unquote(value));
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view ident, int32_t def) const {
  return StrToIntDef(ReadString(section, ident, ""), def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view ident, bool def) const {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view ident,
                           std::string_view value) {
  const std::string gbkSection = Gbk(section);
  const std::string gbkKey = Gbk(ident);
  if (gbkSection.empty() || gbkKey.empty()) {
    throw EIniFileException("Unable to write to " + fileName_);
  }
  std::vector<Line> lines = Load(fileName_);
  const std::string text = gbkKey + "=" + Utf8ToGbk(OneLine(value));
  const std::vector<Span> spans = FindSections(lines, gbkSection);
  if (!lines.empty() && lines.back().end.empty()) lines.back().end = "\r\n";
  if (spans.empty()) {
    lines.push_back({"[" + gbkSection + "]", "\r\n"});
    lines.push_back({text, "\r\n"});
  } else {
    const Span span = spans.front();
    const size_t at = FindKey(lines, span, gbkKey);
    if (at != span.end) {
      lines[at].text = text;
    } else {
      // After the section's last non-blank line, so blank lines that
      // separate it from the next section stay below the new key.
      size_t pos = span.end;
      while (pos > span.header + 1 && TrimView(lines[pos - 1].text).empty()) --pos;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(pos), Line{text, "\r\n"});
    }
  }
  Store(fileName_, lines);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view ident, int32_t value) {
  WriteString(section, ident, IntToStr(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

void TIniFile::ReadSections(TStringList& strings) const {
  strings.Clear();
  std::string_view name;
  for (const Line& line : Load(fileName_)) {
    if (SectionOf(line.text, name)) strings.Add(GbkToUtf8(name));
  }
}

void TIniFile::ReadSection(std::string_view section, TStringList& strings) const {
  strings.Clear();
  const std::vector<Line> lines = Load(fileName_);
  const std::vector<Span> spans = FindSections(lines, Gbk(section));
  if (spans.empty()) return;
  std::string_view key, value;
  for (size_t i = spans.front().header + 1; i < spans.front().end; ++i) {
    if (KeyOf(lines[i].text, key, value) && Listed(key)) strings.Add(GbkToUtf8(key));
  }
}

void TIniFile::ReadSectionValues(std::string_view section, TStringList& strings) const {
  strings.Clear();
  const std::vector<Line> lines = Load(fileName_);
  const std::vector<Span> spans = FindSections(lines, Gbk(section));
  if (spans.empty()) return;
  std::string_view key, value;
  for (size_t i = spans.front().header + 1; i < spans.front().end; ++i) {
    if (!KeyOf(lines[i].text, key, value) || !Listed(key)) continue;
    // A repeated key lists again, with the value a look-up gives: the first.
    std::string_view firstKey, firstValue;
    KeyOf(lines[FindKey(lines, spans.front(), key)].text, firstKey, firstValue);
    strings.Add(GbkToUtf8(key) + "=" + GbkToUtf8(Unquote(firstValue)));
  }
}

bool TIniFile::SectionExists(std::string_view section) const {
  return !FindSections(Load(fileName_), Gbk(section)).empty();
}

bool TIniFile::ValueExists(std::string_view section, std::string_view ident) const {
  const std::vector<Line> lines = Load(fileName_);
  const std::vector<Span> spans = FindSections(lines, Gbk(section));
  return !spans.empty() && FindKey(lines, spans.front(), Gbk(ident)) != spans.front().end;
}

void TIniFile::EraseSection(std::string_view section) {
  std::vector<Line> lines = Load(fileName_);
  const std::vector<Span> spans = FindSections(lines, Gbk(section));
  if (spans.empty()) return;
  for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(it->header),
                lines.begin() + static_cast<std::ptrdiff_t>(it->end));
  }
  Store(fileName_, lines);
}

void TIniFile::DeleteKey(std::string_view section, std::string_view ident) {
  std::vector<Line> lines = Load(fileName_);
  const std::vector<Span> spans = FindSections(lines, Gbk(section));
  if (spans.empty()) return;
  const size_t at = FindKey(lines, spans.front(), Gbk(ident));
  if (at == spans.front().end) return;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
  Store(fileName_, lines);
}

}  // namespace kv
