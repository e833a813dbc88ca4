#pragma once
// The simulator's command line:
//   devicesim --link PATH [--model KV41|KV42|KV43] [--password 1234] [--no-pace]
//             [--no-echo] [--command-bits HEX]
//             [--log FILE] [--modem FILE] [--control FILE] [--image FILE] [--history N]

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv {

struct SimOptions {
  std::string link;
  std::string model = "KV41";
  std::optional<std::string> password;
  bool pace = true;
  bool echoAddress = true;
  std::uint8_t commandBits = 0;
  std::string log;
  std::string modem;
  std::string control;
  std::string image;
  int history = 100;
};

// Returns false with a reason in `error` when the arguments are not usable.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

const char* SimUsage();

// A byte in hexadecimal ("80"), as --command-bits and the control line take it.
bool ParseCommandBits(const std::string& text, std::uint8_t& bits);
// A hexadecimal number up to max ("0E00").
bool ParseHex(const std::string& text, unsigned max, unsigned& value);

}  // namespace kv
