// libFuzzer target: the packed skin reader, and the options reader on the raw
// input as an options text, with the gradients it yields painted. Any input must end in a
// loaded skin or an ESkinError, never a crash.
#include <cstddef>
#include <cstdint>

#include "base/Bitmap.h"
#include "skin/model/sSkinModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const kv::TacBytes bytes(data, data + size);
  try {
    kv::TsSkinModel model;
    model.LoadFromPackedData(bytes);
  } catch (const kv::ESkinError&) {
  }
  // The same bytes as an options text whose images come from a fixed pack.
  static const kv::TacBytes master = [] {
    kv::TBitmap bmp(64, 64, kv::pf24bit);
    return kv::WriteBmp(bmp);
  }();
  try {
    std::vector<kv::TacPackEntry> entries{{"Options.dat", bytes}, {"MASTER.BMP", master}};
    kv::TsSkinLoadOptions options;
    options.HueOffset = size % 7 == 0 ? 0 : 40;
    options.Saturation = size % 5 == 0 ? 0 : -30;
    options.CommonSections = size % 3 == 0 ? std::string(bytes.begin(), bytes.end()) : "";
    kv::TsSkinModel model;
    model.LoadFromPackedData(kv::BuildPackedSkin(entries, 1), options);
    kv::TBitmap canvas(16, 16, size % 2 ? kv::pf24bit : kv::pf32bit);
    for (std::size_t i = 0; i < model.GeneralData.size(); ++i) {
      const auto& g = model.GeneralData[i];
      model.MaskIndexOf(static_cast<int>(i), g.ClassName, "BORDERSMASK");
      model.TextureIndexOf(static_cast<int>(i), g.ClassName, "PATTERN");
      const int offset = static_cast<int>(size % 41) - 20;
      kv::PaintGradientArray(canvas, kv::Rect(-4, -4, 20, 20), g.GradientArray, offset);
      kv::PaintGradientArray(canvas, kv::Rect(3, 2, 9, 30), g.HotGradientArray, -offset);
    }
  } catch (const kv::ESkinError&) {
  }
  return 0;
}
