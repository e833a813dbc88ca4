// Test helpers for the serial component under Wine: message pumping with a
// deadline, event recording, and the device simulator's control file and log.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "devicelink/Const_Unt.h"
#include "devicelink/SerialComm_win.h"
#include "support/Pump.h"

namespace kv::test {

using pump::Pump;
using pump::PumpUntil;

inline std::string Env(const char* name) {
  char value[1024];
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}


// Everything a component raised, in order.
struct Recorder {
  std::vector<TDataPack> chunks;
  bool allTerminated = true;  // the byte after each chunk was 0
  int hangups = 0;
  std::vector<std::uint32_t> modemEvents;
  std::vector<std::uint32_t> errors;
  std::vector<std::string> sent;

  void Attach(TComm& comm) {
    comm.OnReceiveData = [this](TObject*, const void* buffer, std::uint16_t n) {
      const auto* p = static_cast<const std::uint8_t*>(buffer);
      chunks.emplace_back(p, p + n);
      allTerminated = allTerminated && p[n] == 0;
    };
    comm.OnRequestHangup = [this](TObject*) { ++hangups; };
    comm.OnModemStateChange = [this](TObject*, std::uint32_t v) { modemEvents.push_back(v); };
    comm.OnReceiveError = [this](TObject*, std::uint32_t v) { errors.push_back(v); };
    comm.OnSendData = [this](TObject*, const std::string& text) { sent.push_back(text); };
  }
};

inline std::string ToHex(const TDataPack& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (std::uint8_t b : bytes) {
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s;
}

inline bool AppendToFile(const std::string& path, const std::string& text) {
  HANDLE f = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == text.size();
}

inline std::string ReadFileText(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char block[4096];
  DWORD n = 0;
  while (ReadFile(f, block, sizeof block, &n, nullptr) && n > 0) text.append(block, n);
  CloseHandle(f);
  return text;
}

// Replaces a file in one step, so that a reader never sees it half written.
inline bool ReplaceFileText(const std::string& path, const std::string& text) {
  const std::string tmp = path + ".test";
  HANDLE f = CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
  return MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

// The device simulator started by scripts/serial-test.
class Simulator {
 public:
  Simulator()
      : port_(Env("KV_SERIAL_PORT")),
        control_(Env("KV_SIM_CONTROL")),
        log_(Env("KV_SIM_LOG")),
        modem_(Env("KV_SIM_MODEM")),
        withModemLines_(Env("KV_SERIAL_MODEM") == "1") {}

  bool Present() const { return !port_.empty() && !control_.empty() && !log_.empty(); }
  const std::string& Port() const { return port_; }
  const std::string& ModemFile() const { return modem_; }
  bool WithModemLines() const { return withModemLines_; }

  // Faults apply to the next reply: the simulator reads its control file
  // before each request it receives, so nothing needs to wait here.
  void Command(const std::string& line) const { AppendToFile(control_, line + "\n"); }

  // Hex of every request ("rx") or reply ("tx") logged so far.
  std::vector<std::string> Log(const char* kind) const {
    std::vector<std::string> lines;
    const std::string text = ReadFileText(log_);
    std::size_t pos = 0;
    const std::string prefix = std::string(kind) + " ";
    while (pos < text.size()) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(pos, end - pos);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind(prefix, 0) == 0) lines.push_back(line.substr(prefix.size()));
      pos = end + 1;
    }
    return lines;
  }

  // One value of the simulator's state ("image", "relays", "time", "history",
  // "password", "model"), dumped on request; empty when it never came.
  std::string State(const std::string& name) const {
    const std::string path = control_ + ".dump";
    DeleteFileA(path.c_str());
    Command("dump " + path);
    std::string text;
    for (int tries = 0; tries < 100 && text.empty(); ++tries) {
      text = ReadFileText(path);
      if (text.empty()) Sleep(30);
    }
    const std::string key = "\n" + name + " ";
    const std::size_t at = ("\n" + text).find(key);
    if (at == std::string::npos) return {};
    const std::size_t start = at + key.size() - 1;
    return text.substr(start, text.find('\n', start) - start);
  }

 private:
  std::string port_, control_, log_, modem_;
  bool withModemLines_;
};

}  // namespace kv::test
