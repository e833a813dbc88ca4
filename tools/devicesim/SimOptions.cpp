#include "devicesim/SimOptions.h"

#include <charconv>

#include "devicesim/SimFactory.h"

namespace kv {

const char* SimUsage() {
  return "usage: devicesim --link PATH [--model KV41|KV42|KV43] [--password 1234] [--no-pace]\n"
         "                 [--no-echo] [--command-bits HEX] "
         "                 [--log FILE] [--modem FILE] [--control FILE] [--image FILE] "
         "[--history N]\n";
}

bool ParseHex(const std::string& text, unsigned max, unsigned& value) {
  unsigned v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v > max)
    return false;
  value = v;
  return true;
}

bool ParseCommandBits(const std::string& text, std::uint8_t& bits) {
  unsigned value = 0;
  if (!ParseHex(text, 0xFF, value)) return false;
  bits = static_cast<std::uint8_t>(value);
  return true;
}

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options,
                     std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--no-pace") {
      options.pace = false;
      continue;
    }
    if (arg == "--no-echo") {
      options.echoAddress = false;
      continue;
    }
    std::string* target = nullptr;
    if (arg == "--link") target = &options.link;
    if (arg == "--model") target = &options.model;
    if (arg == "--log") target = &options.log;
    if (arg == "--modem") target = &options.modem;
    if (arg == "--control") target = &options.control;
    if (arg == "--image") target = &options.image;
    const bool valued =
        target || arg == "--password" || arg == "--history" || arg == "--command-bits";
    if (!valued) {
      error = "unknown argument " + arg;
      return false;
    }
    if (i + 1 >= args.size()) {
      error = arg + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    if (target) {
      *target = value;
    } else if (arg == "--password") {
      options.password = value;
    } else if (arg == "--command-bits") {
      if (!ParseCommandBits(value, options.commandBits)) {
        error = "--command-bits takes a hexadecimal byte (80, 40)";
        return false;
      }
    } else {
      const auto [end, ec] =
          std::from_chars(value.data(), value.data() + value.size(), options.history);
      if (ec != std::errc() || end != value.data() + value.size() || options.history < 0 ||
          options.history > kSimMaxRecords) {
        error = "--history takes 0 to 20000";
        return false;
      }
    }
  }
  if (options.link.empty()) {
    error = "--link PATH is required";
    return false;
  }
  if (options.model != "KV41" && options.model != "KV42" && options.model != "KV43") {
    error = "--model takes KV41, KV42 or KV43";
    return false;
  }
  if (options.password && options.password->size() > 4) {
    error = "--password takes at most 4 characters";
    return false;
  }
  return true;
}

}  // namespace kv
