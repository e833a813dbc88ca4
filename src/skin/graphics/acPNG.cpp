#include "skin/graphics/acPNG.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "base/Streams.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

namespace {

const char kFormatError[] = "Cannot load image. Invalid or unexpected PNG image format.";
const char kCompressionSchemeError[] =
    "Cannot load image. The compression scheme is not supported for PNG files.";
const char kPaletteError[] = "Cannot load image. Palette in PNG file is invalid.";
const char kCrcError[] = "Cannot load image. CRC error found in PNG file.";
const char kExtraDataError[] = "Cannot load image. Extra compressed data found in PNG file.";
const char kCompressionError[] = "Cannot load image. Compression error found in PNG file.";
const char kCriticalChunkError[] = "Cannot load PNG image. Unexpected but critical chunk detected.";
const char kColorFormatError[] = "Invalid color format in PNG file.";
const char kTooLargeError[] = "Cannot load image. The PNG image is larger than allowed.";
const char kLZ77Error[] = "LZ77 decompression error.";
const char kDepthError[] = "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
const char kSampleCountError[] =
    "Sample count per pixel does not correspond to the given color scheme.";
const char kIndexedMixError[] =
    "Conversion between indexed and non-indexed pixel formats is not supported.";
const char kNoConversionError[] = "Color conversion failed. Could not find a proper method.";
const char kPreparing[] = "Preparing...";
const char kTransfering[] = "Transfering...";

const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// zlib cannot expand one byte into more than this many.
constexpr std::uint64_t kMaxInflateRatio = 1032;
// Wider rows are refused whatever the pixel limit: the two row buffers of
// one row of 16-bit samples would otherwise run to a gigabyte.
constexpr std::uint32_t kMaxRowPixels = 1u << 20;

[[noreturn]] void Fail(const char* message) { throw EInvalidGraphic(message); }

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}
unsigned BigEndian16(const std::uint8_t* p) { return unsigned{p[0]} << 8 | p[1]; }

// Chunk type compared without regard to letter case.
std::uint32_t ChunkCode(const char* name) {
  return BigEndian32(reinterpret_cast<const std::uint8_t*>(name));
}
constexpr std::uint32_t kCaseMask = 0xDFDFDFDFu;
const std::uint32_t kIHDR = ChunkCode("IHDR"), kIDAT = ChunkCode("IDAT"), kPLTE = ChunkCode("PLTE"),
                    kIEND = ChunkCode("IEND"), kGAMA = ChunkCode("GAMA"), kBKGD = ChunkCode("BKGD"),
                    kTRNS = ChunkCode("TRNS");

struct Chunk {
  std::uint32_t length = 0;
  std::uint32_t code = 0;  // type with letters upper-cased
  bool critical = false;
  const std::uint8_t* type = nullptr;
  const std::uint8_t* data = nullptr;
};

// Walks the chunks of a PNG held in memory; every length is checked against
// what remains before it is used.
class ChunkReader {
 public:
  ChunkReader(const std::uint8_t* data, std::size_t size, std::size_t pos)
      : data_(data), size_(size), pos_(pos) {}

  Chunk Next() {
    if (size_ - pos_ < 12) Fail(kFormatError);
    Chunk c;
    c.length = BigEndian32(data_ + pos_);
    if (c.length > 0x7FFFFFFFu || c.length > size_ - pos_ - 12) Fail(kFormatError);
    c.type = data_ + pos_ + 4;
    c.code = BigEndian32(c.type) & kCaseMask;
    c.critical = (c.type[0] & 0x20) == 0;
    c.data = c.type + 4;
    pos_ += 12 + std::size_t{c.length};
    return c;
  }

  static void CheckCrc(const Chunk& c) {
    const uLong crc = crc32(crc32(0, c.type, 4), c.data, c.length);
    if (crc != BigEndian32(c.data + c.length)) Fail(kCrcError);
  }

  std::size_t Position() const { return pos_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_;
};

struct Header {
  std::uint32_t width = 0, height = 0;
  int depth = 0, colorType = 0, compression = 0, filter = 0, interlace = 0;
  int samples = 0;
};

int SamplesOf(int colorType, int depth) {
  switch (colorType) {
    case 0:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16 ? 1 : 0;
    case 2:
      return depth == 8 || depth == 16 ? 3 : 0;
    case 3:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 ? 1 : 0;
    case 4:
      return depth == 8 || depth == 16 ? 2 : 0;
    case 6:
      return depth == 8 || depth == 16 ? 4 : 0;
  }
  return 0;
}

Header ReadHeader(const Chunk& c) {
  if (c.code != kIHDR || c.length != 13) Fail(kFormatError);
  ChunkReader::CheckCrc(c);
  Header h;
  h.width = BigEndian32(c.data);
  h.height = BigEndian32(c.data + 4);
  h.depth = c.data[8];
  h.colorType = c.data[9];
  h.compression = c.data[10];
  h.filter = c.data[11];
  h.interlace = c.data[12];
  if (h.width == 0 || h.height == 0 || h.width > 0x7FFFFFFFu || h.height > 0x7FFFFFFFu)
    Fail(kFormatError);
  if (h.filter != 0 || h.interlace > 1) Fail(kFormatError);
  h.samples = SamplesOf(h.colorType, h.depth);
  if (h.samples == 0) Fail(kColorFormatError);
  return h;
}

std::uint8_t Scale16(unsigned v) { return static_cast<std::uint8_t>(v * 255 / 65535); }

struct Pass {
  int x0, y0, dx, dy;
};
const Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                        {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
const Pass kSinglePass = {0, 0, 1, 1};

std::uint32_t PassCount(std::uint32_t size, int start, int step) {
  return size > static_cast<std::uint32_t>(start) ? (size - start + step - 1) / step : 0;
}

std::size_t RowBytes(std::uint64_t pixels, int bitsPerPixel) {
  return static_cast<std::size_t>((pixels * bitsPerPixel + 7) / 8);
}

// --- row filters ---------------------------------------------------------------

int Paeth(int a, int b, int c) {
  const int p = b - c, q = a - c;
  const int pa = std::abs(p), pb = std::abs(q), pc = std::abs(p + q);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Paeth for whole pixels of 3 or 4 bytes: the channels of one pixel are
// predicted side by side in the lanes of a small vector.
template <int Bpp>
void PaethPixels(std::uint8_t* row, const std::uint8_t* prev, std::size_t n) {
  using Lanes = std::int16_t __attribute__((vector_size(8)));
  using Bytes = std::uint8_t __attribute__((vector_size(4)));
  // Reads 4 bytes also for 3-byte pixels: the row buffers have room after the row.
  // (Filled through a reference: a function returning a vector would change the ABI on i686.)
  const auto load = [](Lanes& lanes, const std::uint8_t* p) {
    Bytes b;
    std::memcpy(&b, p, 4);
    lanes = __builtin_convertvector(b, Lanes);
  };
  for (std::size_t i = 0; i < Bpp && i < n; ++i)
    row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
  Lanes a, c, b, x;
  load(a, row);
  load(c, prev);
  for (std::size_t i = Bpp; i + Bpp <= n; i += Bpp) {
    load(b, prev + i);
    const Lanes p = b - c, q = a - c, pq = p + q;
    const Lanes pa = (p ^ (p >> 15)) - (p >> 15);
    const Lanes pb = (q ^ (q >> 15)) - (q >> 15);
    const Lanes pc = (pq ^ (pq >> 15)) - (pq >> 15);
    const Lanes useA = (pa <= pb) & (pa <= pc);
    const Lanes useB = pb <= pc;
    const Lanes predicted = (useA & a) | (~useA & ((useB & b) | (~useB & c)));
    load(x, row + i);
    a = (x + predicted) & 0xFF;
    if constexpr (Bpp == 4) {
      const Bytes out = __builtin_convertvector(a, Bytes);
      std::memcpy(row + i, &out, 4);
    } else {
      row[i] = static_cast<std::uint8_t>(a[0]);
      row[i + 1] = static_cast<std::uint8_t>(a[1]);
      row[i + 2] = static_cast<std::uint8_t>(a[2]);
    }
    c = b;
  }
}

template <int Bpp>
void UnfilterFixed(int type, std::uint8_t* row, const std::uint8_t* prev, std::size_t n) {
  switch (type) {
    case 1:
      for (std::size_t i = Bpp; i < n; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + row[i - Bpp]);
      break;
    case 2:
      for (std::size_t i = 0; i < n; ++i) row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
      break;
    case 3:
      for (std::size_t i = 0; i < Bpp && i < n; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + (prev[i] >> 1));
      for (std::size_t i = Bpp; i < n; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - Bpp] + prev[i]) >> 1));
      break;
    case 4:
      if constexpr (Bpp == 3 || Bpp == 4) {
        if (n % Bpp == 0) return PaethPixels<Bpp>(row, prev, n);
      }
      for (std::size_t i = 0; i < Bpp && i < n; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
      for (std::size_t i = Bpp; i < n; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + Paeth(row[i - Bpp], prev[i], prev[i - Bpp]));
      break;
  }
}

void Unfilter(int type, std::uint8_t* row, const std::uint8_t* prev, std::size_t n, int bpp) {
  if (type > 4) Fail(kFormatError);
  switch (bpp) {
    case 1:
      return UnfilterFixed<1>(type, row, prev, n);
    case 2:
      return UnfilterFixed<2>(type, row, prev, n);
    case 3:
      return UnfilterFixed<3>(type, row, prev, n);
    case 4:
      return UnfilterFixed<4>(type, row, prev, n);
    case 6:
      return UnfilterFixed<6>(type, row, prev, n);
    default:
      return UnfilterFixed<8>(type, row, prev, n);
  }
}

// --- the decoder -------------------------------------------------------------

struct Result {
  TBitmap bitmap;
  TPNGImageProperties properties;
  TColor background = clWhite;
  std::array<std::uint8_t, 256> indexTransparency{};
  std::size_t consumed = 0;
};

using ProgressReport =
    std::function<void(TProgressStage, int percent, const TRect& band, const char* message)>;

class Decoder {
 public:
  Decoder(const std::uint8_t* data, std::size_t size, std::int64_t maxPixels,
          ProgressReport progress)
      : data_(data),
        size_(size),
        maxPixels_(maxPixels),
        chunks_(data, size, 8),
        progress_(std::move(progress)) {}

  void Run(Result& out);

 private:
  void HeaderPass();
  void SetGamma(double fileGamma);
  void ReadPalette(const Chunk& c);
  void ReadBackground(const Chunk& c);
  void ReadTransparency(const Chunk& c);
  void ReadImageData();
  void PrepareImage();
  void ReadRow(std::uint8_t* dst, std::size_t n);
  void FinishStream();
  void FeedChunk();
  TPixelFormat ColorSetup() const;
  std::vector<TColor> MakePalette() const;
  void ConvertRow(const std::uint8_t* src, std::uint32_t count, std::uint8_t* row, int x0, int dx);
  void IndexRow(const std::uint8_t* src, std::uint32_t count, std::uint8_t* row, int x0, int dx);
  std::uint8_t Level(unsigned sample) const;
  void Report(TProgressStage stage, int percent, const char* message) {
    if (progress_) progress_(stage, percent, band_, message);
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::int64_t maxPixels_;
  ChunkReader chunks_;
  Chunk current_;
  Header h_;
  Result* out_ = nullptr;
  std::uint64_t idatTotal_ = 0;
  double headerGamma_ = 1.0;

  bool gammaOn_ = false;
  std::uint8_t gamma_[256];
  bool hasPalette_ = false;
  std::uint8_t palette_[256][3] = {};  // B, G, R after gamma
  bool hasKey_ = false;
  unsigned key_[3] = {};  // raw tRNS samples (grey, or R, G, B)
  bool imageDone_ = false;

  std::unique_ptr<TLZ77Decoder> zip_;
  const std::uint8_t* in_ = nullptr;
  std::size_t inLeft_ = 0;
  bool streamEnded_ = false;

  ProgressReport progress_;
  TRect band_;  // the rows the next progress report covers
};

void Decoder::Run(Result& out) {
  out_ = &out;
  if (size_ < 8 || std::memcmp(data_, kSignature, 8) != 0) Fail(kFormatError);
  HeaderPass();
  if (h_.compression != 0) {
    throw EInvalidGraphic(kCompressionSchemeError);
  }
  for (auto& v : out.indexTransparency) v = 255;
  for (int i = 0; i < 256; ++i) gamma_[i] = static_cast<std::uint8_t>(i);
  band_ = {0, 0, static_cast<int>(h_.width), 1};
  Report(psStarting, 0, kPreparing);

  chunks_ = ChunkReader(data_, size_, 8);
  h_ = ReadHeader(chunks_.Next());
  zip_ = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, false);
  zip_->DecodeInit();
  current_ = chunks_.Next();
  for (;;) {
    const Chunk c = current_;
    if (c.code == kIDAT && !imageDone_) {
      ReadImageData();  // leaves current_ at the first chunk after the image data
      continue;
    }
    if (c.code == kIEND) break;
    if (c.code == kPLTE) {
      ReadPalette(c);
    } else if (c.code == kGAMA) {
      ChunkReader::CheckCrc(c);
      if (c.length >= 4) {
        const double g = BigEndian32(c.data) / 100000.0;
        SetGamma(g);
        out.properties.FileGamma = static_cast<float>(g);
        out.properties.Options |= 2;
      }
    } else if (c.code == kBKGD) {
      ReadBackground(c);
    } else if (c.code == kTRNS) {
      ReadTransparency(c);
    } else if (c.code == kIDAT) {
      ChunkReader::CheckCrc(c);  // image data after the image: passed over
    } else if (c.critical) {
      Fail(kCriticalChunkError);
    }
    current_ = chunks_.Next();
  }
  zip_->DecodeEnd();
  if (!imageDone_) Fail(kFormatError);
  out.consumed = chunks_.Position();
  Report(psEnding, 100, "");
}

void Decoder::HeaderPass() {
  ChunkReader walk(data_, size_, 8);
  h_ = ReadHeader(walk.Next());
  TPNGImageProperties& p = out_->properties;
  p.Options = 1;
  p.Width = h_.width;
  p.Height = h_.height;
  p.ColorScheme = h_.colorType == 0   ? csGray
                  : h_.colorType == 2 ? csRGB
                  : h_.colorType == 3 ? csIndexed
                  : h_.colorType == 4 ? csGrayAlpha
                                      : csRGBA;
  p.BitsPerSample = static_cast<std::uint8_t>(h_.depth);
  p.SamplesPerPixel = static_cast<std::uint8_t>(h_.samples);
  p.BitsPerPixel = static_cast<std::uint8_t>(h_.depth * h_.samples);
  p.Compression = h_.compression == 0 ? 2 : 0;
  p.Interlaced = h_.interlace != 0;
  p.HasAlpha = h_.colorType == 4 || h_.colorType == 6;
  p.FilterMethod = static_cast<std::uint8_t>(h_.filter);
  bool gammaFound = false;
  for (;;) {
    const Chunk c = walk.Next();
    if (c.code == kIEND) break;
    if (c.code == kIDAT) idatTotal_ += c.length;
    if (c.code == kGAMA && !gammaFound && c.length >= 4) {
      gammaFound = true;
      headerGamma_ = BigEndian32(c.data) / 100000.0;
    }
  }
  p.FileGamma = static_cast<float>(headerGamma_);

  // Refuse what cannot be right before anything is allocated.
  if (static_cast<std::int64_t>(h_.width) * h_.height > maxPixels_ || h_.width > kMaxRowPixels)
    Fail(kTooLargeError);
  const int bitsPerPixel = h_.depth * h_.samples;
  std::uint64_t raw = 0;
  if (h_.interlace) {
    for (const Pass& pass : kAdam7) {
      const std::uint64_t w = PassCount(h_.width, pass.x0, pass.dx);
      const std::uint64_t rows = PassCount(h_.height, pass.y0, pass.dy);
      if (w && rows) raw += rows * (1 + RowBytes(w, bitsPerPixel));
    }
  } else {
    raw = std::uint64_t{h_.height} * (1 + RowBytes(h_.width, bitsPerPixel));
  }
  if (raw > (idatTotal_ + 1) * kMaxInflateRatio) Fail(kCompressionError);
}

void Decoder::SetGamma(double fileGamma) {
  if (fileGamma <= 0) fileGamma = 1.0;
  const double exponent = 1.0 / (fileGamma * 2.2);
  for (int i = 0; i < 256; ++i) {
    const double v = std::nearbyint(std::pow(i / 255.0, exponent) * 255.0);
    gamma_[i] = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
  }
  gammaOn_ = true;
}

void Decoder::ReadPalette(const Chunk& c) {
  if (c.length % 3 != 0) Fail(kPaletteError);
  ChunkReader::CheckCrc(c);
  if (h_.colorType != 3) return;  // a suggested palette of a true-colour image
  if (c.length == 0) Fail(kPaletteError);
  const std::uint32_t n = std::min<std::uint32_t>(c.length / 3, 256);
  std::memset(palette_, 0, sizeof palette_);
  for (std::uint32_t i = 0; i < n; ++i) {
    palette_[i][0] = gamma_[c.data[3 * i + 2]];
    palette_[i][1] = gamma_[c.data[3 * i + 1]];
    palette_[i][2] = gamma_[c.data[3 * i]];
  }
  hasPalette_ = true;
}

std::uint8_t Decoder::Level(unsigned sample) const {
  if (h_.depth == 16) return Scale16(sample);
  return static_cast<std::uint8_t>(sample * (255 / ((1u << h_.depth) - 1)));
}

void Decoder::ReadBackground(const Chunk& c) {
  ChunkReader::CheckCrc(c);
  TColor& bg = out_->background;
  const auto sample = [&](int i) {
    const unsigned v = BigEndian16(c.data + 2 * i);
    return h_.depth == 16 ? Scale16(v) : static_cast<std::uint8_t>(v & 0xFF);
  };
  switch (h_.colorType) {
    case 3:
      if (c.length >= 1 && hasPalette_) {
        const std::uint8_t* e = palette_[c.data[0]];
        bg = ColorFromRGB(e[2], e[1], e[0]);
      }
      break;
    case 0:
    case 4:
      if (c.length >= 2) {
        const std::uint8_t v = Level(BigEndian16(c.data) & ((1u << h_.depth) - 1));
        bg = ColorFromRGB(v, v, v);
      }
      break;
    default:
      if (c.length >= 6) bg = ColorFromRGB(sample(0), sample(1), sample(2));
  }
}

void Decoder::ReadTransparency(const Chunk& c) {
  ChunkReader::CheckCrc(c);
  switch (h_.colorType) {
    case 3: {
      const std::uint32_t n = std::min<std::uint32_t>(c.length, 256);
      for (std::uint32_t i = 0; i < 256; ++i) out_->indexTransparency[i] = i < n ? c.data[i] : 255;
      break;
    }
    case 0:
      if (c.length >= 2) {
        key_[0] = BigEndian16(c.data) & ((1u << h_.depth) - 1);
        hasKey_ = true;
      }
      break;
    case 2:
      if (c.length >= 6) {
        for (int i = 0; i < 3; ++i) key_[i] = BigEndian16(c.data + 2 * i);
        hasKey_ = true;
      }
      break;
    default:
      break;  // images with an alpha channel need no key
  }
}

// The bitmap format of the image's colour type and depth: RGB and RGB with
// alpha keep their colours, the rest become palette indexes.
TPixelFormat Decoder::ColorSetup() const {
  TColorManager cm;
  cm.SetSourceBitsPerSample(h_.depth);
  cm.SetSourceSamplesPerPixel(h_.samples);
  int targetBits = 8;
  switch (h_.colorType) {
    case 0:
      cm.SetSourceColorScheme(csGray);
      cm.SetTargetColorScheme(csGray);
      targetBits = h_.depth == 2 ? 4 : std::min(h_.depth, 8);
      break;
    case 2:
      cm.SetSourceColorScheme(csRGB);
      cm.SetTargetColorScheme(csBGR);
      break;
    case 3:
      cm.SetSourceColorScheme(csIndexed);
      cm.SetTargetColorScheme(csIndexed);
      targetBits = h_.depth == 2 ? 4 : h_.depth;
      break;
    case 4:
      cm.SetSourceColorScheme(csGrayAlpha);
      cm.SetTargetColorScheme(csIndexed);
      break;
    default:
      cm.SetSourceColorScheme(csRGBA);
      cm.SetTargetColorScheme(csBGRA);
  }
  cm.SetTargetBitsPerSample(targetBits);
  cm.SetTargetSamplesPerPixel(h_.colorType == 2 ? 3 : h_.colorType == 6 ? 4 : 1);
  return cm.TargetPixelFormat();
}

// Indexed images take their PLTE, grey ones a ramp of their levels; gamma
// goes into the palette, never into the indexes. Indexes past the PLTE show
// black.
std::vector<TColor> Decoder::MakePalette() const {
  const unsigned count = 1u << std::min(h_.depth, 8);
  std::vector<TColor> palette(count);
  for (unsigned i = 0; i < count; ++i) {
    if (h_.colorType == 3) {
      palette[i] = ColorFromRGB(palette_[i][2], palette_[i][1], palette_[i][0]);
    } else {
      const std::uint8_t v = gamma_[h_.depth >= 8 ? i : Level(i)];
      palette[i] = ColorFromRGB(v, v, v);
    }
  }
  return palette;
}

void Decoder::PrepareImage() {
  if (h_.colorType == 3 && !hasPalette_) Fail(kPaletteError);
  const TPixelFormat format = ColorSetup();
  TBitmap& b = out_->bitmap;
  b = TBitmap();
  b.SetPixelFormat(format);
  b.SetPalette(MakePalette());
  b.SetSize(static_cast<int>(h_.width), static_cast<int>(h_.height));
  if (hasKey_) {
    // The key is mapped like the pixels, so that it matches them.
    TColor key;
    if (h_.colorType == 0) {
      const std::uint8_t v = gamma_[Level(key_[0])];
      key = ColorFromRGB(v, v, v);
    } else {
      const auto m = [&](int i) {
        return gamma_[h_.depth == 16 ? Scale16(key_[i]) : static_cast<std::uint8_t>(key_[i])];
      };
      key = ColorFromRGB(m(0), m(1), m(2));
    }
    b.TransparentColor = key;
    b.Transparent = true;
  }
}

void Decoder::FeedChunk() {
  ChunkReader::CheckCrc(current_);
  in_ = current_.data;
  inLeft_ = current_.length;
  current_ = chunks_.Next();
}

void Decoder::ReadRow(std::uint8_t* dst, std::size_t n) {
  while (n > 0) {
    if (streamEnded_) Fail(kExtraDataError);
    if (inLeft_ == 0) {
      if (current_.code != kIDAT) Fail(kCompressionError);  // the data ran out
      FeedChunk();
      continue;
    }
    std::uint8_t* before = dst;
    zip_->Decode(in_, dst, inLeft_, n);
    inLeft_ = zip_->AvailableInput();
    n -= static_cast<std::size_t>(dst - before);
    const int status = zip_->ZLibResult();
    if (status == Z_STREAM_END) {
      streamEnded_ = true;
      if (n > 0 || inLeft_ > 0) Fail(kExtraDataError);
    } else if (status == Z_BUF_ERROR) {
      if (inLeft_ > 0 && dst == before) Fail(kCompressionError);
    } else if (status != Z_OK) {
      Fail(kCompressionError);
    }
  }
}

// The stream's Adler-32 follows the last row: inflating on to it refuses image
// data that was damaged before its chunk CRCs were written. Data past the
// image is passed over, as further image chunks are.
void Decoder::FinishStream() {
  std::uint8_t spare[4096];
  while (!streamEnded_) {
    if (inLeft_ == 0) {
      if (current_.code != kIDAT) return;  // the stream stops short of its trailer
      FeedChunk();
      continue;
    }
    std::uint8_t* dst = spare;
    zip_->Decode(in_, dst, inLeft_, sizeof spare);
    inLeft_ = zip_->AvailableInput();
    const int status = zip_->ZLibResult();
    if (status == Z_STREAM_END) {
      streamEnded_ = true;
    } else if (status != Z_OK) {
      Fail(kCompressionError);
    }
  }
}

void Decoder::ReadImageData() {
  PrepareImage();
  TBitmap& b = out_->bitmap;
  const int bitsPerPixel = h_.depth * h_.samples;
  const int filterBpp = std::max(1, bitsPerPixel / 8);
  const std::size_t fullRow = RowBytes(h_.width, bitsPerPixel);
  // Each row buffer has a few spare bytes after it for whole-pixel reads.
  const std::size_t slot = fullRow + 1 + 8;
  std::vector<std::uint8_t> buffers(2 * slot);
  std::uint8_t* cur = buffers.data();
  std::uint8_t* prev = cur + slot;

  const Pass* passes = h_.interlace ? kAdam7 : &kSinglePass;
  const int passCount = h_.interlace ? 7 : 1;
  for (int p = 0; p < passCount; ++p) {
    const Pass& pass = passes[p];
    const bool reported = p == passCount - 1;
    const std::uint32_t w = PassCount(h_.width, pass.x0, pass.dx);
    const std::uint32_t rows = PassCount(h_.height, pass.y0, pass.dy);
    if (w == 0 || rows == 0) continue;
    const std::size_t n = RowBytes(w, bitsPerPixel);
    std::memset(prev, 0, n + 1);  // every pass starts as if above a zero row
    for (std::uint32_t k = 0; k < rows; ++k) {
      ReadRow(cur, n + 1);
      Unfilter(cur[0], cur + 1, prev + 1, n, filterBpp);
      const int y = static_cast<int>(pass.y0 + k * pass.dy);
      ConvertRow(cur + 1, w, b.ScanLine(y), pass.x0, pass.dx);
      std::swap(cur, prev);
      if (reported) {
        Report(psRunning, static_cast<int>((k + 1) * std::uint64_t{100} / rows), kTransfering);
        band_.Top += 1;
        band_.Bottom += 1;
      }
    }
  }
  FinishStream();
  while (current_.code == kIDAT) {  // the rest of the image data is passed over
    ChunkReader::CheckCrc(current_);
    current_ = chunks_.Next();
  }
  imageDone_ = true;
}

void Decoder::ConvertRow(const std::uint8_t* s, std::uint32_t count, std::uint8_t* row, int x0,
                         int dx) {
  if (h_.colorType != 2 && h_.colorType != 6) return IndexRow(s, count, row, x0, dx);
  const int bpp = h_.colorType == 6 ? 4 : 3;
  std::uint8_t* d = row + x0 * bpp;
  const int step = dx * bpp;
  const std::uint8_t* g = gamma_;
  const int depth = h_.depth;
  switch (h_.colorType) {
    case 2:
      if (depth == 8) {
        if (gammaOn_) {
          for (std::uint32_t i = 0; i < count; ++i, s += 3, d += step) {
            d[0] = g[s[2]];
            d[1] = g[s[1]];
            d[2] = g[s[0]];
          }
        } else {
          for (std::uint32_t i = 0; i < count; ++i, s += 3, d += step) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
          }
        }
      } else {
        for (std::uint32_t i = 0; i < count; ++i, s += 6, d += step) {
          d[0] = g[Scale16(BigEndian16(s + 4))];
          d[1] = g[Scale16(BigEndian16(s + 2))];
          d[2] = g[Scale16(BigEndian16(s))];
        }
      }
      return;
    case 6:
      if (depth == 8) {
        if (gammaOn_) {
          for (std::uint32_t i = 0; i < count; ++i, s += 4, d += step) {
            d[0] = g[s[2]];
            d[1] = g[s[1]];
            d[2] = g[s[0]];
            d[3] = s[3];
          }
        } else {
          for (std::uint32_t i = 0; i < count; ++i, s += 4, d += step) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            d[3] = s[3];
          }
        }
      } else {
        for (std::uint32_t i = 0; i < count; ++i, s += 8, d += step) {
          d[0] = g[Scale16(BigEndian16(s + 4))];
          d[1] = g[Scale16(BigEndian16(s + 2))];
          d[2] = g[Scale16(BigEndian16(s))];
          d[3] = Scale16(BigEndian16(s + 6));
        }
      }
      return;
    default:
      break;
  }
}

// Grey, grey with alpha and indexed rows: the palette index of each pixel.
void Decoder::IndexRow(const std::uint8_t* s, std::uint32_t count, std::uint8_t* row, int x0,
                       int dx) {
  const int depth = h_.depth;
  const int targetBits = TBitmap::BitsPerPixelOf(out_->bitmap.PixelFormat());
  const auto put = [&](std::uint32_t i, unsigned index) {
    SetPixelIndex(row, x0 + static_cast<int>(i) * dx, targetBits, index);
  };
  if (h_.colorType == 4) {
    const int bytes = depth / 4;  // two samples of 8 or 16 bits
    for (std::uint32_t i = 0; i < count; ++i, s += bytes)
      put(i, depth == 8 ? s[0] : Scale16(BigEndian16(s)));
  } else if (depth == 16) {
    for (std::uint32_t i = 0; i < count; ++i, s += 2) put(i, Scale16(BigEndian16(s)));
  } else if (depth == 8 && dx == 1) {
    std::memcpy(row + x0, s, count);
  } else if (depth == 8) {
    for (std::uint32_t i = 0; i < count; ++i) put(i, s[i]);
  } else {
    const unsigned mask = (1u << depth) - 1;
    const int perByte = 8 / depth;
    for (std::uint32_t i = 0; i < count; ++i) {
      const int shift = 8 - depth * (1 + static_cast<int>(i % perByte));
      put(i, (s[i / perByte] >> shift) & mask);
    }
  }
}

}  // namespace

// --- TColorManager -------------------------------------------------------------

namespace {

void CheckBitsPerSample(int bits) {
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)
    throw EColorConversionError(kDepthError);
}

void CheckSamplesPerPixel(int samples) {
  if (samples < 1 || samples > 4) throw EColorConversionError(kSampleCountError);
}

bool IsIndexedScheme(std::uint8_t scheme) {
  return scheme == csIndexed || scheme == csGray || scheme == csGrayAlpha;
}

}  // namespace

void TColorManager::SetSourceBitsPerSample(int bits) { CheckBitsPerSample(bits); }

void TColorManager::SetTargetBitsPerSample(int bits) {
  CheckBitsPerSample(bits);
  targetBits_ = bits;
}

void TColorManager::SetSourceSamplesPerPixel(int samples) { CheckSamplesPerPixel(samples); }

void TColorManager::SetTargetSamplesPerPixel(int samples) {
  CheckSamplesPerPixel(samples);
  targetSamples_ = samples;
}

TPixelFormat TColorManager::TargetPixelFormat() const {
  if (IsIndexedScheme(sourceScheme_) != IsIndexedScheme(targetScheme_))
    throw EColorConversionError(kIndexedMixError);
  if (targetSamples_ == 1) return targetBits_ == 1 ? pf1bit : targetBits_ <= 4 ? pf4bit : pf8bit;
  if (targetSamples_ == 3 && targetBits_ >= 8) return pf24bit;
  if (targetSamples_ == 4 && targetBits_ >= 8) return pf32bit;
  throw EColorConversionError(kNoConversionError);
}

// --- TLZ77Decoder --------------------------------------------------------------

struct TLZ77Decoder::Stream {
  z_stream z{};
};

TLZ77Decoder::TLZ77Decoder(int flushMode, bool autoReset)
    : stream_(std::make_unique<Stream>()), flushMode_(flushMode), autoReset_(autoReset) {}

TLZ77Decoder::~TLZ77Decoder() {
  if (started_) inflateEnd(&stream_->z);
}

void TLZ77Decoder::DecodeInit() {
  if (started_) DecodeEnd();
  stream_->z = z_stream{};
  // inflateInit passes this zlib's own version and stream size.
  if (inflateInit(&stream_->z) != Z_OK) throw EGraphicCompression(kLZ77Error);
  started_ = true;
  status_ = Z_OK;
}

void TLZ77Decoder::Decode(const std::uint8_t*& source, std::uint8_t*& dest, std::size_t packedSize,
                          std::size_t unpackedSize) {
  z_stream& z = stream_->z;
  z.next_in = const_cast<Bytef*>(source);
  z.avail_in = static_cast<uInt>(packedSize);  // chunk lengths stay below 2^31
  if (autoReset_) status_ = inflateReset(&z);
  // A buffer error only means that inflate wants more input or room.
  if (status_ == Z_OK || status_ == Z_BUF_ERROR) {
    z.next_out = dest;
    z.avail_out = static_cast<uInt>(unpackedSize);
    status_ = inflate(&z, flushMode_);
  }
  source = z.next_in;
  if (z.next_out) dest = z.next_out;
}

void TLZ77Decoder::DecodeEnd() {
  if (!started_) return;
  started_ = false;
  if (inflateEnd(&stream_->z) != Z_OK) throw EGraphicCompression(kLZ77Error);
}

std::size_t TLZ77Decoder::AvailableInput() const { return stream_->z.avail_in; }
std::size_t TLZ77Decoder::AvailableOutput() const { return stream_->z.avail_out; }

// --- TPNGGraphic ---------------------------------------------------------------

void TPNGGraphic::Assign(const TBitmap& source) {
  if (const auto* png = dynamic_cast<const TPNGGraphic*>(&source)) {
    properties_ = png->properties_;
    backgroundColor_ = png->backgroundColor_;
    indexTransparency_ = png->indexTransparency_;
  }
  TBitmap::Assign(source);
}

std::size_t TPNGGraphic::LoadFromMemory(const void* data, std::size_t size) {
  Result result;
  ProgressReport progress;
  if (OnProgress) {
    progress = [this](TProgressStage stage, int percent, const TRect& band, const char* message) {
      OnProgress(*this, stage, percent, stage == psRunning, band, message);
    };
  }
  Decoder(static_cast<const std::uint8_t*>(data), size, MaxPixels, std::move(progress)).Run(result);
  // Only a complete image replaces what the picture held.
  Swap(result.bitmap);
  properties_ = result.properties;
  backgroundColor_ = result.background;
  indexTransparency_ = result.indexTransparency;
  return result.consumed;
}

void TPNGGraphic::LoadFromStream(TStream& stream) {
  const std::int64_t start = stream.Position();
  const std::string data = stream.ReadAll();
  try {
    const std::size_t used = LoadFromMemory(data.data(), data.size());
    stream.SetPosition(start + static_cast<std::int64_t>(used));
  } catch (...) {
    stream.SetPosition(start);
    throw;
  }
}

void TPNGGraphic::Draw(TBitmap& target, const TRect& r) {
  if (Empty() || r.Width() <= 0 || r.Height() <= 0) return;
  const bool sameSize = r.Width() == Width() && r.Height() == Height();
  TBitmap colours, scaled;
  TBitmap* picture = this;
  if (HasPalette(PixelFormat())) {  // the painters read colours, not indexes
    colours = *this;
    colours.SetPixelFormat(pf24bit);
    picture = &colours;
  }
  if (!sameSize) {
    // Colour and alpha bytes averaged alike; any size stretches, one pixel too.
    scaled = TBitmap(r.Width(), r.Height(), picture->PixelFormat());
    HalftoneStretchPixels(&scaled, {0, 0, r.Width(), r.Height()}, picture,
                          {0, 0, Width(), Height()});
    picture = &scaled;
  }
  const TRect all{0, 0, r.Width(), r.Height()};
  if (PixelFormat() == pf32bit) {
    PaintAlphaBitmap(r, all, &target, Reflected && sameSize, 0, clNone, false, EmptyBgCacheInfo,
                     picture);
  } else if (Transparent) {
    CopyBitmapSkipTransparent(&target, picture, r.Left, r.Top, TransparentColor);
  } else {
    // A blend of weight 0 whose key has top byte 255 is a plain copy of every pixel.
    BlendBitmapRect(&target, r.Left, r.Top, picture, {0, 0, r.Width() - 1, r.Height() - 1}, 0.0,
                    static_cast<TColor>(0xFF000000u));
  }
}

std::unique_ptr<TBitmap> CreatePNGGraphic() { return std::make_unique<TPNGGraphic>(); }

}  // namespace kv
