#include "skin/model/sIniText.h"

#include <cstdint>

#include "base/SysUtils.h"

namespace kv {
namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool SameSkinName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  }
  return true;
}

std::string UpperSkinName(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperChar(c);
  return out;
}

TsIniText::TsIniText(std::string_view text, TsIniLines lines) {
  const auto trim = [lines](std::string_view s) {
    return lines == TsIniLines::Trimmed ? TrimBlanks(s) : s;
  };
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.size() > 1 && line.front() == '[' && line.back() == ']') {
      const std::string_view name = trim(line.substr(1, line.size() - 2));
      index_.try_emplace(UpperSkinName(name), sections_.size());
      sections_.push_back({std::string(name), {}, {}});
      current = &sections_.back();
      continue;
    }
    const std::size_t eq = line.find('=');
    if (!current || eq == std::string_view::npos) continue;
    const std::string_view key = trim(line.substr(0, eq));
    if (key.empty()) continue;
    if (current->Index.try_emplace(UpperSkinName(key), current->Entries.size()).second)
      current->Entries.push_back({std::string(key), std::string(trim(line.substr(eq + 1)))});
  }
}

const TsIniText::Section* TsIniText::Find(std::string_view section) const {
  const auto it = index_.find(UpperSkinName(section));
  return it == index_.end() ? nullptr : &sections_[it->second];
}

const std::string* TsIniText::Value(std::string_view section, std::string_view key) const {
  const Section* s = Find(section);
  if (!s) return nullptr;
  const auto it = s->Index.find(UpperSkinName(key));
  return it == s->Index.end() ? nullptr : &s->Entries[it->second].Value;
}

std::vector<std::string> TsIniText::ReadSections() const {
  std::vector<std::string> out;
  for (const Section& s : sections_) out.push_back(s.Name);
  return out;
}

std::vector<std::string> TsIniText::ReadSection(std::string_view section) const {
  std::vector<std::string> out;
  if (const Section* s = Find(section)) {
    for (const Entry& e : s->Entries) out.push_back(e.Key);
  }
  return out;
}

bool TsIniText::SectionExists(std::string_view section) const { return Find(section) != nullptr; }

bool TsIniText::ValueExists(std::string_view section, std::string_view key) const {
  return Value(section, key) != nullptr;
}

std::string TsIniText::ReadString(std::string_view section, std::string_view key,
                                  std::string_view def) const {
  const std::string* v = Value(section, key);
  return v ? *v : std::string(def);
}

int TsIniText::ReadInteger(std::string_view section, std::string_view key, int def) const {
  const std::string* v = Value(section, key);
  return v ? StrToIntDef(*v, def) : def;
}

}  // namespace kv
