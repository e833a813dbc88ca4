// How a page control shows its tabs; the class library's page control and
// the skinned one share them.
#pragma once

namespace kv {

enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };

}  // namespace kv
