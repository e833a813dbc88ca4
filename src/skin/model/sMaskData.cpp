#include "skin/model/sMaskData.h"

namespace kv {

int MaskFrameWidth(const TsMaskData& mask) {
  if (mask.ImageCount == 0) return 0;
  return (mask.R.Right - mask.R.Left) / mask.ImageCount;
}

int MaskStateHeight(const TsMaskData& mask) {
  if (mask.MaskType == -1) return 0;
  return (mask.R.Bottom - mask.R.Top) / (mask.MaskType + 1);
}

}  // namespace kv
