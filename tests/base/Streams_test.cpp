#include "base/Streams.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "base/SysUtils.h"

namespace kv {
namespace {

TEST(Streams, MemoryStreamGrowsOnWriteAndStopsReadsAtTheEnd) {
  TMemoryStream m;
  m.WriteBuffer("abcdef", 6);
  EXPECT_EQ(m.Size(), 6);
  EXPECT_EQ(m.Position(), 6);
  m.SetPosition(4);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 8), 2);
  EXPECT_EQ(std::string(buf, 2), "ef");
  EXPECT_EQ(m.Read(buf, 8), 0);
  EXPECT_THROW(m.ReadBuffer(buf, 1), EReadError);

  m.Seek(2, soEnd);  // past the end: a write fills the gap with zeros
  m.WriteBuffer("Z", 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.Memory()), 9),
            std::string("abcdef\0\0Z", 9));
  m.Seek(-100, soCurrent);
  EXPECT_EQ(m.Position(), 0);
  m.SetSize(3);
  EXPECT_EQ(m.ReadAll(), "abc");
}

TEST(Streams, FileStreamReadsWritesSeeksAndResizes) {
  test::TempFolder tmp;
  const std::string name = tmp.File("数据.bin");
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("0123456789", 10);
    f.Seek(-4, soEnd);
    char buf[4];
    f.ReadBuffer(buf, 2);
    EXPECT_EQ(std::string(buf, 2), "67");
    f.WriteBuffer("xy", 2);  // write right after a read
    EXPECT_EQ(f.Size(), 10);
    f.SetSize(9);
  }
  EXPECT_EQ(ReadFileBytes(name), "01234567x");
  {
    TFileStream f(name, fmOpenReadWrite);
    f.Seek(0, soEnd);
    f.WriteBuffer("!", 1);
  }
  EXPECT_EQ(ReadFileBytes(name), "01234567x!");
  TFileStream r(name, fmOpenRead);
  EXPECT_THROW(r.WriteBuffer("a", 1), EWriteError);
}

TEST(Streams, OpenErrorsNameTheFile) {
  test::TempFolder tmp;
  const std::string missing = tmp.File("none.ini");
  try {
    TFileStream f(missing, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot open file \"" + missing + "\".", 0), 0u) << e.Message();
  }
  try {
    TFileStream f(tmp.File("no") + PathDelim() + "x.ini", fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_NE(e.Message().find("Cannot create file"), std::string::npos);
  }
}

TEST(Streams, CopyFromCopiesAllOrAPart) {
  TMemoryStream src, dst;
  src.WriteBuffer("hello world", 11);
  src.SetPosition(6);
  EXPECT_EQ(dst.CopyFrom(src, 3), 3);
  EXPECT_EQ(dst.CopyFrom(src, 0), 11);  // 0: the whole source
  dst.SetPosition(0);
  EXPECT_EQ(dst.ReadAll(), "worhello world");
  src.SetPosition(10);
  EXPECT_THROW(dst.CopyFrom(src, 5), EReadError);
}

TEST(Streams, MemoryStreamRoundTripsThroughAFile) {
  test::TempFolder tmp;
  TMemoryStream m;
  std::string bytes;
  for (int i = 0; i < 70000; ++i) bytes += static_cast<char>(i * 7);
  m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  m.SaveToFile(tmp.File("m.bin"));
  TMemoryStream back;
  back.LoadFromFile(tmp.File("m.bin"));
  EXPECT_EQ(back.Position(), 0);
  EXPECT_EQ(back.ReadAll(), bytes);
}

}  // namespace
}  // namespace kv
