// Exceptions, number and text conversions, file names and file-system
// queries. Texts and paths are UTF-8; the file functions use the W API on
// Windows.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Base of every exception the program raises itself.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// A text that is not the number, date or time it should be.
class EConvertError : public Exception {
  using Exception::Exception;
};
// An index outside a string list, or a duplicate where none is allowed.
class EStringListError : public Exception {
  using Exception::Exception;
};
class EStreamError : public Exception {
  using Exception::Exception;
};
class EReadError : public EStreamError {
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
  using EStreamError::EStreamError;
};
// An operation that the object's state does not allow.
class EInvalidOperation : public Exception {
  using Exception::Exception;
};
class EInOutError : public Exception {
  using Exception::Exception;
};
class ERangeError : public Exception {
  using Exception::Exception;
};

// --- numbers ---------------------------------------------------------------

std::string IntToStr(int64_t value);
// Upper-case hexadecimal, at least `digits` digits.
std::string IntToHex(int64_t value, int digits);

// Reads a 32-bit integer: optional leading blanks, a sign, then decimal
// digits or hexadecimal after "$", "0x" or "0X". Nothing may follow. A
// hexadecimal text up to FFFFFFFF is taken as the 32-bit pattern (so "$FFFFFFFF"
// is -1). Returns false for anything else, out-of-range decimals included.
bool TryStrToInt(std::string_view text, int32_t& value);
// Reads a decimal integer as a user types one: optional leading blanks, a
// sign, then decimal digits only, nothing after them ("$20" and "0x10" are no
// numbers here). A value beyond the 32-bit range is held at the range's end,
// so that any range check below it still refuses the text.
bool TryStrToDecimal(std::string_view text, int32_t& value);
int32_t StrToDecimalDef(std::string_view text, int32_t def);
// As TryStrToInt; raises EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view text);
int32_t StrToIntDef(std::string_view text, int32_t def);

// Reads a number with "." as the decimal separator ("12", "-0.5", "1.5e3"),
// blanks around it allowed, whatever the PC's locale.
bool TryStrToFloat(std::string_view text, double& value);
double StrToFloatDef(std::string_view text, double def);

// "0.0" formatting of a value held in tenths: -5 gives "-0.5", 123 "12.3".
std::string FormatTenths(int64_t tenths);
// FormatFloat with the patterns the program uses ("0", "0.0", "0.00" ...):
// rounded half away from zero to the pattern's decimals.
std::string FormatFloat(std::string_view pattern, double value);

// --- texts (bytes; case rules are ASCII only) --------------------------------

// Removes leading and trailing characters <= ' ' (blanks and controls).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Ordinal comparison with ASCII letters folded to upper case: < 0, 0, > 0.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// 1-based position of sub in s, 0 when absent (and for an empty sub).
size_t Pos(std::string_view sub, std::string_view s);
// Every occurrence of from replaced by to, left to right; replaced text is
// never searched again. s is unchanged when from is empty.
std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to);
bool StartsText(std::string_view prefix, std::string_view s);  // case-insensitive
bool EndsText(std::string_view suffix, std::string_view s);

// --- file names ("\\", "/" and, for drives, ":" separate) -----------------------

std::string ExtractFileName(std::string_view path);
// The folder part with its final delimiter: "C:\\a\\b.txt" gives "C:\\a\\".
std::string ExtractFilePath(std::string_view path);
// The extension with its dot, "" when the name has none.
std::string ExtractFileExt(std::string_view path);
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path);
// The platform's delimiter: '\\' on Windows, '/' natively.
char PathDelim();

// --- file system ----------------------------------------------------------------

bool FileExists(const std::string& path);  // an existing file, not a folder
bool DirectoryExists(const std::string& path);
bool ForceDirectories(const std::string& path);
bool DeleteFileUtf8(const std::string& path);  // DeleteFile is a Win32 macro
bool RemoveDir(const std::string& path);       // an empty folder
std::string GetTempFolder();                   // with a trailing delimiter

// Full paths of the files under dir (and its subfolders when recursive)
// whose names match mask ("*", "*.ini", "*.*", "a?c.txt"; case-insensitive),
// in the order the file system gives them.
std::vector<std::string> FindFiles(const std::string& dir, std::string_view mask, bool recursive);
// Mask matching with "*" and "?", ASCII case-insensitive; "*.*" matches all.
bool MatchesMask(std::string_view name, std::string_view mask);

namespace detail {
struct TDirEntry {
  std::string Name;
  bool IsDirectory = false;
};
// Platform back end: the entries of one folder (given with its trailing
// delimiter) except "." and "..", in the file system's order; none when the
// folder cannot be read.
std::vector<TDirEntry> ReadDirectory(const std::string& dir);
}  // namespace detail

}  // namespace kv
