// Small conversions shared by the configuration objects: byte fields and
// texts, bits and binary digit strings, and the password box's key filter.
// The registry, process and message-pump helpers live in the Windows half.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class TStringList;
class TCustomForm;
class TComm;

// --- Windows half (Funs_Unt_win.cpp) ---

// Fills the list with the serial port names under HKLM
// "HARDWARE\DEVICEMAP\SERIALCOMM", sorted case-insensitively; empty when
// the key is missing.
void ListSerialPorts(TStringList& list);
// Returns after ms milliseconds, handling the GUI thread's messages (through
// the application's pump and its message hooks) meanwhile.
void Delay(std::int32_t ms);
// Starts the program's own file again and ends this process; returns only
// when the start failed.
void RestartProgram();
// Writes (or deletes) the program's start-with-Windows value, the quoted
// path of the program. Writing raises ERegistryException when the key cannot
// be opened for writing, so that a caller never shows a failure as success.
void SetAutoStart(bool enable);
// True when the start-with-Windows value of this program is present.
bool IsAutoStart();
// The look every window of the program shares: the 9-point "新宋体" font with
// the GB2312 character set, and the program's icon when the file has one.
void ApplyProgramFormLook(TCustomForm& form);

// The logger's line: 115200 baud, 8 data bits, no parity, one stop bit, no
// handshake, no total time-outs; a reply ends after 100 ms of quiet. The
// XON/XOFF limits are the window's own (the login's 500, the main window's 0).
void SetUpDevicePort(TComm& port, std::uint16_t xonXoffLimit);

// Full paths of the files under the folder and all its subfolders whose
// extension (the dot included) is `extension` in any case, or of every file
// for ".*"; sorted case-insensitively, no duplicates; empty when the folder
// does not exist.
std::vector<std::string> FindFilesRecursive(const std::string& folder, std::string_view extension);

// The program's version text, whatever the file.
std::string GetProgramVersion(std::string_view fileName);

// The characters (code points) of a UTF-8 text in reverse order.
std::string ReverseString(std::string_view text);
int LowSevenBits(int value);
bool ByteToBool(std::uint8_t value);
char BoolToBitChar(bool value);

// The bytes of a device text field: empty when the first byte is 0 or the
// field is empty; otherwise every byte except 0xFF, zero bytes included.
std::string BytesToStr(std::span<const std::uint8_t> field);
// Writes text bytes into a field: all bytes 0 first; then, unless the text is
// only blanks and control characters, its bytes from the first on, cut at the
// field's end (a full field has no terminator).
void StrToBytes(std::string_view text, std::span<std::uint8_t> field);

// d binary digits of value, most significant first; empty when d <= 0.
std::string IntToBin(std::int32_t value, int digits);
// Each "1" at position p (1-based) of a text of length L adds 2^(L-p).
std::int64_t BinToInt(std::string_view text);

// Replaces a key that is not Backspace, Enter, a digit, a letter A-Z/a-z or
// DEL by 0, so that the edit ignores it.
void FilterAlnumKey(char16_t& key);

}  // namespace kv
