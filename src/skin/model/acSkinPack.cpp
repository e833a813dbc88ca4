#include "skin/model/acSkinPack.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "base/Streams.h"
#include "base/SysUtils.h"
#include "skin/model/sIniText.h"

namespace kv {
namespace {

constexpr char kSignature[4] = {'A', 'S', 'z', 'f'};
// Smallest possible entry: name length, empty name, size, an empty zlib stream.
constexpr std::size_t kMinEntryBytes = 4 + 0 + 4 + 8;
// Deflate cannot expand better than about 1032:1; a larger claim is damage.
constexpr std::uint64_t kMaxInflateRatio = 1040;

bool EndsWithBmp(const std::string& name) {
  const auto dot = name.rfind('.');
  return dot != std::string::npos && UpperSkinName(name.substr(dot)) == ".BMP";
}

class PackReader {
 public:
  explicit PackReader(const TacBytes& data) : data_(data) {}

  std::size_t Remaining() const { return data_.size() - pos_; }

  std::int32_t ReadInt(const char* what) {
    if (Remaining() < 4) throw ESkinError(std::string("Packed skin file is truncated in ") + what);
    const std::uint8_t* p = data_.data() + pos_;
    pos_ += 4;
    const std::uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
    return static_cast<std::int32_t>(v);
  }

  std::string ReadName(std::int32_t length, int index) {
    // An empty name is allowed by the layout; it only names no image. The
    // bytes left bound a long one.
    if (length < 0 || std::size_t(length) > Remaining()) {
      throw ESkinError("Packed skin entry " + std::to_string(index) + " has a bad name length (" +
                       std::to_string(length) + ")");
    }
    std::string name(reinterpret_cast<const char*>(data_.data() + pos_), std::size_t(length));
    pos_ += std::size_t(length);
    return name;
  }

  // Inflates one zlib stream of exactly Size bytes and leaves the position
  // right after its checksum trailer.
  TacBytes Inflate(std::int32_t size, const std::string& name) {
    const std::string where = "packed skin entry \"" + name + "\"";
    if (size < 0 || size > MaxPackedEntrySize ||
        std::uint64_t(size) > std::uint64_t(Remaining()) * kMaxInflateRatio + 64) {
      throw ESkinError("Bad unpacked size " + std::to_string(size) + " of " + where);
    }
    TacBytes out(static_cast<std::size_t>(size));
    z_stream z{};
    if (inflateInit(&z) != Z_OK) throw ESkinError("Cannot start decompression of " + where);
    z.next_in = const_cast<Bytef*>(data_.data() + pos_);
    z.avail_in = static_cast<uInt>(std::min<std::size_t>(Remaining(), 0x7FFFFFFF));
    std::uint8_t none = 0;  // zlib refuses a null output pointer
    z.next_out = out.empty() ? &none : out.data();
    z.avail_out = static_cast<uInt>(out.size());
    int rc = inflate(&z, Z_FINISH);
    bool tooLong = false;
    if ((rc == Z_BUF_ERROR || rc == Z_OK) && z.avail_out == 0) {
      // All S bytes came out; the stream must end here, trailer included.
      std::uint8_t extra = 0;
      z.next_out = &extra;
      z.avail_out = 1;
      rc = inflate(&z, Z_FINISH);
      tooLong = z.avail_out == 0;
      if (tooLong) rc = Z_DATA_ERROR;
    }
    const std::size_t used = z.total_in;
    const std::size_t produced = z.total_out;
    const std::string why = tooLong ? "more data than its stated size" : z.msg ? z.msg : "";
    inflateEnd(&z);
    if (rc != Z_STREAM_END) {
      if (rc == Z_DATA_ERROR) {
        throw ESkinError("Decompression error in " + where + (why.empty() ? "" : " (" + why + ")"));
      }
      throw ESkinError("Stream read error in " + where + " (stream ends early)");
    }
    if (produced != out.size()) {
      throw ESkinError("Stream read error in " + where + " (" + std::to_string(produced) + " of " +
                       std::to_string(size) + " bytes)");
    }
    pos_ += used;
    return out;
  }

 private:
  const TacBytes& data_;
  std::size_t pos_ = 0;
};

void Extract(TacSkinConvertor& c) {
  const TacBytes& data = *c.PackedData;
  if (data.size() < 4 || std::memcmp(data.data(), kSignature, 4) != 0) {
    throw ESkinError("Loaded data is not packed skin file");
  }
  PackReader r(data);
  r.ReadInt("the signature");
  const std::int32_t n = r.ReadInt("the entry count");
  if (n < 0 || std::size_t(n) > r.Remaining() / kMinEntryBytes) {
    throw ESkinError("Packed skin file claims an impossible entry count (" + std::to_string(n) +
                     ")");
  }
  c.LastEntryIndex = n - 1;
  for (int i = 0; i < n; ++i) {
    const std::int32_t l = r.ReadInt("an entry header");
    std::string name = r.ReadName(l, i);
    const std::int32_t s = r.ReadInt("an entry header");
    TacBytes content = r.Inflate(s, name);
    if (UpperSkinName(name) == "OPTIONS.DAT") {
      // A second options entry replaces the first.
      c.OptionsData = std::make_unique<TacBytes>(std::move(content));
    } else {
      const bool isBitmap = EndsWithBmp(name);
      c.ImageEntries.push_back({std::move(name), isBitmap, std::move(content)});
    }
  }
}

void PutInt(TacBytes& out, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(u >> (8 * k)));
}

}  // namespace

const TacImageItem* TacSkinConvertor::FindEntry(const std::string& name) const {
  for (const TacImageItem& item : ImageEntries) {
    if (UpperSkinName(item.EntryName) == name) return &item;
  }
  return nullptr;
}

void ClearConvertor(TacSkinConvertor& convertor) {
  convertor.ImageEntries.clear();
  convertor.OptionsData.reset();
  convertor.PackedData.reset();
  convertor.LastEntryIndex = -1;
}

void ExtractPackedData(TacSkinConvertor& convertor) {
  convertor.ImageEntries.clear();
  convertor.OptionsData.reset();
  convertor.LastEntryIndex = -1;
  if (!convertor.PackedData) throw ESkinError("Loaded data is not packed skin file");
  try {
    Extract(convertor);
  } catch (...) {
    ClearConvertor(convertor);
    throw;
  }
}

std::optional<TacBytes> ReadSkinFile(const std::string& fileName) {
  if (!FileExists(fileName)) return std::nullopt;
  try {
    TFileStream file(fileName, fmOpenRead);
    const std::int64_t size = file.Size();
    if (size < 0 || size > MaxSkinFileSize)
      throw ESkinError("Skin file " + fileName + " is too large");
    TacBytes bytes(static_cast<std::size_t>(size));
    file.ReadBuffer(bytes.data(), size);
    return bytes;
  } catch (const ESkinError&) {
    throw;
  } catch (const Exception& e) {
    throw ESkinError(e.Message());
  }
}

void LoadPackedSkinFile(const std::string& fileName, std::unique_ptr<TacSkinConvertor>& convertor,
                        bool freeSource) {
  std::optional<TacBytes> data = ReadSkinFile(fileName);
  if (!data) return;
  auto bytes = std::make_unique<TacBytes>(std::move(*data));
  if (!convertor) {
    convertor = std::make_unique<TacSkinConvertor>();
  } else {
    ClearConvertor(*convertor);
  }
  convertor->PackedData = std::move(bytes);
  try {
    ExtractPackedData(*convertor);
  } catch (...) {
    convertor.reset();
    throw;
  }
  if (freeSource) convertor->PackedData.reset();
}

TacBytes BuildPackedSkin(const std::vector<TacPackEntry>& entries, int level) {
  TacBytes out(kSignature, kSignature + 4);
  PutInt(out, static_cast<std::int32_t>(entries.size()));
  for (const TacPackEntry& e : entries) {
    PutInt(out, static_cast<std::int32_t>(e.Name.size()));
    out.insert(out.end(), e.Name.begin(), e.Name.end());
    PutInt(out, static_cast<std::int32_t>(e.Data.size()));
    uLongf packedSize = compressBound(static_cast<uLong>(e.Data.size()));
    TacBytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, e.Data.data(), static_cast<uLong>(e.Data.size()),
                  level) != Z_OK) {
      throw ESkinError("Cannot compress entry " + e.Name);
    }
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
  }
  return out;
}

}  // namespace kv
