#pragma once
// PNG pictures for the skin toolkit: TPNGGraphic decodes a PNG file into the
// pixels of a TBitmap, so every bitmap routine can use the result: RGB images
// as pf24bit, RGB with alpha as pf32bit (straight alpha), grey and indexed
// images as pf1bit, pf4bit or pf8bit with a palette, grey with alpha as pf8bit
// grey (the alpha is dropped). Painting code that wants 24 or 32 bits
// converts with SetPixelFormat.
//
// The class library registers TPNGGraphic as the picture format
// PNGGraphicExtension / PNGGraphicDescription (CreatePNGGraphic makes one).

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/Bitmap.h"
#include "base/SysUtils.h"
#include "base/Types.h"
#include "skin/model/sSkinPixels.h"

struct HICON__;

namespace kv {

class TStream;

// zlib could not start or finish.
class EGraphicCompression : public Exception {
  using Exception::Exception;
};
class EColorConversionError : public Exception {
  using Exception::Exception;
};

inline constexpr const char* PNGGraphicExtension = "png";
inline constexpr const char* PNGGraphicDescription = "Portable network graphics (skin toolkit)";

// Colour schemes of the image properties (0 to 5) and of bitmap rows.
enum : std::uint8_t {
  csNone = 0,
  csIndexed = 1,
  csGray = 2,
  csGrayAlpha = 3,
  csRGB = 4,
  csRGBA = 5,
  csBGR = 6,
  csBGRA = 7,
};

// The sample layout on both sides of a row conversion, and the bitmap format
// the target side makes. Every setter and query raises EColorConversionError
// for what no conversion serves.
class TColorManager {
 public:
  void SetSourceBitsPerSample(int bits);
  void SetTargetBitsPerSample(int bits);
  void SetSourceSamplesPerPixel(int samples);
  void SetTargetSamplesPerPixel(int samples);
  void SetSourceColorScheme(std::uint8_t scheme) { sourceScheme_ = scheme; }
  void SetTargetColorScheme(std::uint8_t scheme) { targetScheme_ = scheme; }
  TPixelFormat TargetPixelFormat() const;

 private:
  int targetBits_ = 8;
  int targetSamples_ = 3;
  std::uint8_t sourceScheme_ = csRGB;
  std::uint8_t targetScheme_ = csBGR;
};

class TPNGGraphic;
enum TProgressStage { psStarting, psRunning, psEnding };
// R is the band of rows the report covers.
using TProgressEvent =
    std::function<void(TPNGGraphic& Sender, TProgressStage Stage, int PercentDone, bool RedrawNow,
                       const TRect& R, const std::string& Msg)>;

struct TPNGImageProperties {
  std::uint32_t Options = 0;  // bit 0: IHDR read; bit 1: gAMA seen
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
  std::uint8_t ColorScheme = csNone;
  std::uint8_t BitsPerSample = 0;
  std::uint8_t SamplesPerPixel = 0;
  std::uint8_t BitsPerPixel = 0;
  std::uint8_t Compression = 0;  // 2 for the deflate method, else 0
  float FileGamma = 1.0f;
  bool Interlaced = false;
  bool HasAlpha = false;
  std::uint8_t FilterMethod = 0;
};

// Inflation of the image data through zlib.
class TLZ77Decoder {
 public:
  TLZ77Decoder(int flushMode, bool autoReset);
  ~TLZ77Decoder();
  TLZ77Decoder(const TLZ77Decoder&) = delete;
  TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;

  void DecodeInit();  // raises EGraphicCompression
  // Inflates from source into dest; both pointers advance past what was used.
  void Decode(const std::uint8_t*& source, std::uint8_t*& dest, std::size_t packedSize,
              std::size_t unpackedSize);
  void DecodeEnd();  // raises EGraphicCompression
  std::size_t AvailableInput() const;
  std::size_t AvailableOutput() const;
  int ZLibResult() const { return status_; }

 private:
  struct Stream;
  std::unique_ptr<Stream> stream_;
  int flushMode_;
  bool autoReset_;
  bool started_ = false;
  int status_ = 0;
};

class TPNGGraphic : public TBitmap {
 public:
  TPNGGraphic() = default;

  // Copies the image properties when source is a TPNGGraphic, then the bitmap.
  void Assign(const TBitmap& source);

  // Loads one PNG starting at the stream's position and leaves the position
  // after the IEND chunk. On any fault raises EInvalidGraphic (or
  // EGraphicCompression) and leaves the picture as it was.
  void LoadFromStream(TStream& stream);
  // The same for a file in memory; returns the bytes up to and including IEND.
  std::size_t LoadFromMemory(const void* data, std::size_t size);

  // Paints the picture into r of a 24-bit or 32-bit target. A 32-bit picture
  // is blended by its per-pixel alpha, stretched (colour and alpha alike) when
  // r has another size, and with a fading reflection below r when Reflected
  // and drawn at its own size. Other pictures are copied in their colours
  // (leaving out the transparent colour when Transparent).
  void Draw(TBitmap& target, const TRect& r);

  const TPNGImageProperties& ImageProperties() const { return properties_; }
  // From bKGD; white when the file has none.
  TColor BackgroundColor() const { return backgroundColor_; }
  // Alpha of each palette entry of an indexed image, from tRNS (255 without).
  const std::array<std::uint8_t, 256>& IndexTransparency() const { return indexTransparency_; }

  // "Preparing..." as a load starts, "Transfering..." after each row of the
  // image (interlaced images: of the last pass), then the end.
  TProgressEvent OnProgress;
  // Draw a reflection below the image.
  bool Reflected = false;
  // Images with more pixels, or rows of more than 2^20 pixels, are refused
  // before anything is allocated.
  std::int64_t MaxPixels = std::int64_t{1} << 26;

 private:
  TPNGImageProperties properties_;
  TColor backgroundColor_ = clWhite;
  std::array<std::uint8_t, 256> indexTransparency_{};
};

std::unique_ptr<TBitmap> CreatePNGGraphic();

// Windows build only: registers PNG files with the class library's pictures
// (TPicture::LoadFromFile and friends). Done once at start-up; calling it again
// does no harm.
void RegisterPNGPictureFormat();

// Windows build only: an icon of the bitmap. With useTopLeftColor, or when the
// bitmap is not 32-bit, the bitmap is made pf32bit and pixels equal to its
// top-left pixel become transparent; otherwise its alpha channel is used.
HICON__* MakeIconFromBitmap(TBitmap& bitmap, bool useTopLeftColor);

}  // namespace kv
