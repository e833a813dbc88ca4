#include "skin/controls/sLabelUrl.h"

#include <algorithm>
#include <cctype>

namespace kv {

namespace {

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), s.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

}  // namespace

bool IsOpenableUrl(std::string_view url) {
  const auto unsafe = [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F || c == '"';
  };
  if (std::any_of(url.begin(), url.end(), unsafe)) return false;
  for (std::string_view scheme : {"http://", "https://", "mailto:"})
    if (StartsWithNoCase(url, scheme)) return url.size() > scheme.size();
  return false;
}

}  // namespace kv
