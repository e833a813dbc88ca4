// INI text held in memory (the skin options "Options.dat" and the manager's
// CommonSections): sections in file order, keys in section order, names
// compared without regard to case.
// Empty lines and lines starting with ';' are skipped, as is a UTF-8 byte
// order mark; "[name]" starts a section; a key is the text before a line's
// first '=' and its value the rest of the line. A repeated section name is a
// section of its own (listed again; look-ups find the first), and a repeated
// key keeps its first value.
// The skin options are read trimmed: each line, section name, key and value
// loses its leading and trailing blanks and tabs, so "KEY = value " is KEY.
// The CommonSections text is read as written, nothing trimmed.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kv {

enum class TsIniLines { Trimmed, AsWritten };

class TsIniText {
 public:
  TsIniText() = default;
  explicit TsIniText(std::string_view text, TsIniLines lines = TsIniLines::Trimmed);

  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSection(std::string_view section) const;
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // As StrToIntDef: decimal, "$" or "0x" hex; not a number gives Default.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;

 private:
  struct Entry {
    std::string Key, Value;
  };
  struct Section {
    std::string Name;
    std::vector<Entry> Entries;
    std::unordered_map<std::string, std::size_t> Index;  // upper-cased key -> entry
  };
  const Section* Find(std::string_view section) const;
  const std::string* Value(std::string_view section, std::string_view key) const;

  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> index_;  // upper-cased name -> section
};

bool SameSkinName(std::string_view a, std::string_view b);
std::string UpperSkinName(std::string_view s);

}  // namespace kv
