// The shapes a gauge can take; the class library's gauge and the skinned one
// share them.
#pragma once

namespace kv {

enum TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

}  // namespace kv
