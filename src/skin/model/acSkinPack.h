// Packed skin files ("asz"): an options text and images, each a zlib stream,
// behind the signature "ASzf". The reader checks every count and length
// against what is left before it allocates, and inflates each entry to
// exactly its stated size.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "skin/model/acSkinErrors.h"

namespace kv {

using TacBytes = std::vector<std::uint8_t>;

struct TacImageItem {
  std::string EntryName;  // as stored
  bool IsBitmap = false;  // extension ".BMP" in any case
  TacBytes EntryData;     // unpacked content
};

using TacImageItems = std::vector<TacImageItem>;

// Limits of what a packed skin may hold; larger values are taken for damage.
inline constexpr std::int32_t MaxPackedEntrySize = 64 * 1024 * 1024;

class TacSkinConvertor {
 public:
  std::int32_t LastEntryIndex = -1;
  TacImageItems ImageEntries;
  std::unique_ptr<TacBytes> OptionsData;  // nil when the pack has none
  std::unique_ptr<TacBytes> PackedData;   // the packed bytes being read

  // The image entry whose upper-cased name equals Name exactly; nullptr if none.
  const TacImageItem* FindEntry(const std::string& name) const;
};

// Reads FileName into Convertor (created when null). A missing file is not an
// error: nothing changes. FreeSource drops the packed bytes after reading.
void LoadPackedSkinFile(const std::string& fileName, std::unique_ptr<TacSkinConvertor>& convertor,
                        bool freeSource);

// Reads Convertor.PackedData into OptionsData and ImageEntries. On any error
// the convertor is emptied and ESkinError raised: no half-read pack remains.
void ExtractPackedData(TacSkinConvertor& convertor);

void ClearConvertor(TacSkinConvertor& convertor);

// A whole skin file (a pack, an options text or an image), or nullopt when
// the file does not exist. Files above MaxSkinFileSize and read errors raise.
inline constexpr std::int64_t MaxSkinFileSize = 256 * 1024 * 1024;
std::optional<TacBytes> ReadSkinFile(const std::string& fileName);

// Packs entries in the given order; used by tools/skinpack and tests.
struct TacPackEntry {
  std::string Name;
  TacBytes Data;
};
TacBytes BuildPackedSkin(const std::vector<TacPackEntry>& entries, int level = 9);

}  // namespace kv
