// INI files.
//
// TIniFile works on a text file in code page 936 and reads it the way the
// Windows profile functions do on a Chinese system: every read looks at the
// file as it is on disk and every write goes to the file at once. Section
// and key names match without regard to ASCII case, blanks around names and
// values do not count, a section header is "[" up to the last "]" of its
// line, and a line without "=" holds no key. Lines the program does not write
// (other sections and keys, comments, blank lines, even malformed ones) are
// kept byte for byte in their order. A missing or unreadable file reads as
// empty.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Classes.h"
#include "base/SysUtils.h"

namespace kv {

class TStringList;

// "Unable to write to <file name>".
class EIniFileException : public EWriteError {
  using EWriteError::EWriteError;
};

class TIniFile : public TObject {
 public:
  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
  const std::string& FileName() const { return fileName_; }

  // The value of the first key of that name in the first section of that
  // name; a value in single or double quotes loses them. def when there is
  // none.
  std::string ReadString(std::string_view section, std::string_view ident,
                         const std::string& def) const;
  // Decimal or hexadecimal after "$", "0x" or "0X"; def when the key is
  // missing or the value is no number.
  int32_t ReadInteger(std::string_view section, std::string_view ident, int32_t def) const;
  // Any integer but 0 is true.
  bool ReadBool(std::string_view section, std::string_view ident, bool def) const;

  // Replaces the first such key's value, adds the key at the end of the
  // section, or adds the section at the end of the file. Line breaks in the
  // value become blanks, so a value can never add lines of its own.
  // Raises EIniFileException when the file cannot be written (or the
  // section or key name is empty).
  void WriteString(std::string_view section, std::string_view ident, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view ident, int32_t value);
  void WriteBool(std::string_view section, std::string_view ident, bool value);  // "1" / "0"

  // Section names in file order, a repeated section as often as it occurs.
  void ReadSections(TStringList& strings) const;
  // Key names of the first such section in file order, without the ";"
  // comment lines.
  void ReadSection(std::string_view section, TStringList& strings) const;
  // "key=value" for each key ReadSection lists, the value as ReadString
  // gives it.
  void ReadSectionValues(std::string_view section, TStringList& strings) const;
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view ident) const;

  // Removes every section of that name with its keys.
  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view ident);
  // Writes are immediate; kept for callers that flush explicitly.
  void UpdateFile() {}

 private:
  std::string fileName_;
};

}  // namespace kv
