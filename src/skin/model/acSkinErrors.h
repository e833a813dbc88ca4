// The error every skin reader raises. Its text names what is wrong (the entry,
// section or key) so that a skin author can mend the file.
#pragma once

#include <string>

#include "base/SysUtils.h"

namespace kv {

class ESkinError : public Exception {
  using Exception::Exception;
};

}  // namespace kv
