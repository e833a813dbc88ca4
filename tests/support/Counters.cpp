#include "support/Counters.h"

#include <string>

namespace kvtest {

::testing::AssertionResult TObjectBaseline::Unchanged() const {
  const kv::TGdiCounters& now = kv::GdiCounters();
  const struct {
    const char* name;
    int kv::TGdiCounters::*field;
  } kinds[] = {{"fonts", &kv::TGdiCounters::Fonts},
               {"pens", &kv::TGdiCounters::Pens},
               {"brushes", &kv::TGdiCounters::Brushes},
               {"DCs", &kv::TGdiCounters::DCs},
               {"icons", &kv::TGdiCounters::Icons},
               {"bitmaps", &kv::TGdiCounters::Bitmaps},
               {"regions", &kv::TGdiCounters::Regions},
               {"timers", &kv::TGdiCounters::Timers},
               {"hooks", &kv::TGdiCounters::Hooks},
               {"properties", &kv::TGdiCounters::Props},
               {"window-procedure hooks", &kv::TGdiCounters::WindowProcHooks}};
  std::string moved;
  for (const auto& k : kinds)
    if (now.*k.field != start_.*k.field)
      moved += std::string(moved.empty() ? "" : ", ") + k.name + " expected " +
               std::to_string(start_.*k.field) + ", got " + std::to_string(now.*k.field);
  if (moved.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "objects left over: " << moved;
}

}  // namespace kvtest
