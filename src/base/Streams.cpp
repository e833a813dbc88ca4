#include "base/Streams.h"

#include <algorithm>
#include <cstring>

#include "base/SysUtils.h"

namespace kv {

int64_t TStream::Size() {
  const int64_t here = Seek(0, soCurrent);
  const int64_t end = Seek(0, soEnd);
  Seek(here, soBeginning);
  return end;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  char buffer[64 * 1024];
  int64_t done = 0;
  while (done < count) {
    const int64_t n = std::min<int64_t>(count - done, sizeof buffer);
    source.ReadBuffer(buffer, n);
    WriteBuffer(buffer, n);
    done += n;
  }
  return done;
}

std::string TStream::ReadAll() {
  const int64_t remaining = std::max<int64_t>(0, Size() - Position());
  std::string bytes(static_cast<size_t>(remaining), '\0');
  bytes.resize(static_cast<size_t>(Read(bytes.data(), remaining)));
  return bytes;
}

// --- memory stream ----------------------------------------------------------------

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t size = Size();
  if (count <= 0 || position_ >= size) return 0;
  const int64_t n = std::min(count, size - position_);
  std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t end = position_ + count;
  if (end > Size()) data_.resize(static_cast<size_t>(end));
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : Size();
  // A position before the start is kept at 0; one past the end reads nothing
  // and a write there fills the gap with zeros.
  position_ = std::max<int64_t>(0, base + offset);
  return position_;
}

void TMemoryStream::SetSize(int64_t size) {
  data_.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
  position_ = std::min(position_, Size());
}

void TMemoryStream::Clear() {
  data_.clear();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const int64_t size = source.Size();
  SetSize(size);
  source.ReadBuffer(data_.data(), size);
  position_ = 0;
}

void TMemoryStream::SaveToStream(TStream& dest) { dest.WriteBuffer(data_.data(), Size()); }

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
  file.Flush();
}

// --- file stream ------------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : fileName_(fileName) {
  static const char* const kModes[] = {"rb", "r+b", "r+b", "w+b"};
  file_ = detail::OpenFile(fileName, kModes[mode]);
  if (file_ != nullptr) return;
  const std::string reason = detail::LastErrorText();
  if (mode == fmCreate) {
    throw EFCreateError("Cannot create file \"" + fileName + "\". " + reason);
  }
  throw EFOpenError("Cannot open file \"" + fileName + "\". " + reason);
}

TFileStream::~TFileStream() {
  if (file_ != nullptr) std::fclose(file_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (lastWasWrite_) std::fflush(file_);  // C streams need this between directions
  lastWasWrite_ = false;
  return static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), file_));
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (!lastWasWrite_) detail::SeekFile(file_, 0, SEEK_CUR);
  lastWasWrite_ = true;
  return static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), file_));
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  static const int kOrigins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (offset != 0 || origin != soCurrent) {
    detail::SeekFile(file_, offset, kOrigins[origin]);
    lastWasWrite_ = false;
  }
  return detail::TellFile(file_);
}

void TFileStream::SetSize(int64_t size) {
  Flush();
  const int64_t here = Position();
  if (!detail::ResizeFile(file_, size)) {
    throw EWriteError("Cannot change the size of \"" + fileName_ + "\". " +
                      detail::LastErrorText());
  }
  Seek(std::min(here, size), soBeginning);
}

void TFileStream::Flush() {
  if (std::fflush(file_) != 0) {
    throw EWriteError("Cannot write to \"" + fileName_ + "\". " + detail::LastErrorText());
  }
}

std::string ReadFileBytes(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead);
  return file.ReadAll();
}

void WriteFileBytes(const std::string& fileName, const std::string& bytes) {
  TFileStream file(fileName, fmCreate);
  if (file.Write(bytes.data(), static_cast<int64_t>(bytes.size())) !=
      static_cast<int64_t>(bytes.size())) {
    throw EWriteError("Cannot write to \"" + fileName + "\". " + detail::LastErrorText());
  }
  file.Flush();
}

}  // namespace kv
