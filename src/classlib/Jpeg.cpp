#include "classlib/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace kv {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return.
// The library is C: no C++ exception may pass through it, so we jump back.
struct TJpegError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
  auto* err = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, err->message);
  std::longjmp(err->jump, 1);
}

void OnJpegMessage(j_common_ptr, int) {}  // warnings stay quiet

// Decodes into dest; returns false with message set on failure. Only
// trivially destructible objects live in this function, as longjmp skips
// destructors.
bool Decode(const uint8_t* data, size_t size, TBitmap& dest, char (&message)[JMSG_LENGTH_MAX]) {
  jpeg_decompress_struct info;
  TJpegError err;
  info.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnJpegError;
  err.pub.emit_message = OnJpegMessage;
  err.message[0] = 0;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    std::memcpy(message, err.message, sizeof message);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  if (info.num_components != 1 && info.num_components != 3) {
    std::snprintf(message, sizeof message, "unsupported colour space");
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_EXT_BGR;
  jpeg_calc_output_dimensions(&info);
  if (info.output_width == 0 || info.output_height == 0 ||
      static_cast<int64_t>(info.output_width) * info.output_height > TBitmap::MaxPixels) {
    std::snprintf(message, sizeof message, "image too large");
    jpeg_destroy_decompress(&info);
    return false;
  }
  // The bitmap is sized before decoding starts; an error later leaves it
  // to the caller to empty.
  dest.SetPixelFormat(pf24bit);
  dest.SetSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
  jpeg_start_decompress(&info);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = dest.ScanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

void TJPEGImage::Draw(TCanvas& canvas, const TRect& r) { canvas.StretchDraw(r, bitmap_); }

void TJPEGImage::LoadFromMemory(const uint8_t* data, size_t size) {
  char message[JMSG_LENGTH_MAX] = {};
  TBitmap decoded;
  if (data == nullptr || size == 0 || !Decode(data, size, decoded, message)) {
    bitmap_.SetSize(0, 0);
    throw EInvalidGraphic(std::string("JPEG error: ") + (message[0] ? message : "no data"));
  }
  bitmap_.Swap(decoded);
  Changed();
}

void TJPEGImage::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TJPEGImage*>(&source);
  if (other == nullptr) return TGraphic::Assign(source);
  bitmap_.Assign(other->bitmap_);
  Changed();
}

}  // namespace kv
