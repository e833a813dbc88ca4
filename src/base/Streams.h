// Byte streams: the abstract TStream, a growable memory stream and a file
// stream. Positions and sizes are 64-bit; errors raise the SysUtils
// exceptions and name the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Classes.h"

namespace kv {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
 public:
  // Reads up to count bytes; returns how many were read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes up to count bytes; returns how many were written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Returns the new position.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size();
  // Raises EStreamError when the stream cannot change its size.
  virtual void SetSize(int64_t size);

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t position) { Seek(position, soBeginning); }

  // Read or write exactly count bytes, else raise EReadError "Stream read
  // error" or EWriteError "Stream write error".
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes from source's position; count 0 copies the whole of
  // source from its beginning. Returns the bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);

  // The rest of the stream from the position, as bytes.
  std::string ReadAll();
};

class TMemoryStream : public TStream {
 public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t size) override;

  uint8_t* Memory() { return data_.data(); }
  const uint8_t* Memory() const { return data_.data(); }
  void Clear();
  void LoadFromStream(TStream& source);  // replaces the contents; position 0
  void SaveToStream(TStream& dest);      // writes the whole contents
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

 private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

// Open modes. fmCreate creates or empties the file for reading and writing.
enum TFileMode { fmOpenRead, fmOpenWrite, fmOpenReadWrite, fmCreate };

class TFileStream : public TStream {
 public:
  // Raises EFOpenError "Cannot open file "<name>". <reason>" or, for
  // fmCreate, EFCreateError "Cannot create file "<name>". <reason>".
  TFileStream(const std::string& fileName, TFileMode mode);
  ~TFileStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;
  const std::string& FileName() const { return fileName_; }
  // Writes buffered bytes to the file; raises EWriteError naming the file.
  void Flush();

 private:
  std::string fileName_;
  std::FILE* file_ = nullptr;
  bool lastWasWrite_ = false;
};

// Whole-file helpers; they raise the TFileStream errors.
std::string ReadFileBytes(const std::string& fileName);
void WriteFileBytes(const std::string& fileName, const std::string& bytes);

namespace detail {
// Platform back end: fopen with a UTF-8 name, 64-bit seek and tell, resize.
std::FILE* OpenFile(const std::string& fileName, const char* mode);
bool SeekFile(std::FILE* file, int64_t offset, int origin);
int64_t TellFile(std::FILE* file);
bool ResizeFile(std::FILE* file, int64_t size);
std::string LastErrorText();
}  // namespace detail

}  // namespace kv
