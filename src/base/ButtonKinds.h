// Where a button's glyph goes and how text is aligned; the class library's
// controls and the skinned controls' portable layout share them.
#pragma once

namespace kv {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// Text alignment inside a control, a column or a panel.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

}  // namespace kv
