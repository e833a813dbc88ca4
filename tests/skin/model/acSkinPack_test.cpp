#include "skin/model/acSkinPack.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <random>

#include "SkinTestUtil.h"

namespace kv {
namespace {

using test::Bytes;

void PutInt(TacBytes& out, std::int32_t v) {
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(std::uint32_t(v) >> (8 * k)));
}

TacBytes Zlib(const TacBytes& data, int level = 9) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  TacBytes out(size);
  compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), level);
  out.resize(size);
  return out;
}

// Header and one entry written by hand, with every field chosen by the test.
TacBytes RawPack(std::int32_t count, std::int32_t nameLength, const std::string& name,
                 std::int32_t size, const TacBytes& stream) {
  TacBytes out{'A', 'S', 'z', 'f'};
  PutInt(out, count);
  PutInt(out, nameLength);
  out.insert(out.end(), name.begin(), name.end());
  PutInt(out, size);
  out.insert(out.end(), stream.begin(), stream.end());
  return out;
}

TacSkinConvertor Extract(TacBytes packed) {
  TacSkinConvertor c;
  c.PackedData = std::make_unique<TacBytes>(std::move(packed));
  ExtractPackedData(c);
  return c;
}

TEST(acSkinPack, ReadsOptionsAndImagesOfAThreeEntryPack) {
  const TacBytes master = test::SolidBmp(4, 3);
  const TacBytes glow = Bytes("not really a png");
  const TacBytes packed =
      BuildPackedSkin({{"options.DAT", Bytes("[GLOBALINFO]\r\nVERSION=7.0\r\n")},
                       {"Master.bmp", master},
                       {"Glow.png", glow}});
  const TacSkinConvertor c = Extract(packed);
  ASSERT_TRUE(c.OptionsData);
  EXPECT_EQ(*c.OptionsData, Bytes("[GLOBALINFO]\r\nVERSION=7.0\r\n"));
  EXPECT_EQ(c.LastEntryIndex, 2);
  ASSERT_EQ(c.ImageEntries.size(), 2u);
  EXPECT_EQ(c.ImageEntries[0].EntryName, "Master.bmp");
  EXPECT_TRUE(c.ImageEntries[0].IsBitmap);
  EXPECT_EQ(c.ImageEntries[0].EntryData, master);
  EXPECT_EQ(c.ImageEntries[1].EntryName, "Glow.png");
  EXPECT_FALSE(c.ImageEntries[1].IsBitmap);
  EXPECT_EQ(c.ImageEntries[1].EntryData, glow);
  EXPECT_EQ(c.FindEntry("MASTER.BMP"), &c.ImageEntries[0]);
  EXPECT_EQ(c.FindEntry("Master.bmp"), nullptr);
}

// Only the last extension counts, in any case.
TEST(acSkinPack, MarksEntriesWhoseExtensionIsBmp) {
  const std::pair<const char*, bool> names[] = {
      {"Title.v2.bmp", true}, {"TITLE.BMP", true}, {"a.Bmp", true},      {"Title.bmp.png", false},
      {"bmp", false},         {".bmp", true},      {"Title.v2", false}, {"Title.bmpx", false}};
  std::vector<TacPackEntry> entries = {{"Options.dat", Bytes("[A]\r\n")}};
  for (const auto& [name, bitmap] : names) entries.push_back({name, Bytes("x")});
  const TacSkinConvertor c = Extract(BuildPackedSkin(entries));
  ASSERT_EQ(c.ImageEntries.size(), std::size(names));
  for (std::size_t i = 0; i < std::size(names); ++i)
    EXPECT_EQ(c.ImageEntries[i].IsBitmap, names[i].second) << names[i].first;
}

TEST(acSkinPack, ReadsEntriesLargerThanTheInflateBufferBackToBack) {
  std::mt19937 random(7);
  std::vector<TacPackEntry> entries{{"Options.dat", Bytes("[A]\r\n")}};
  for (int i = 0; i < 3; ++i) {
    TacBytes noise(200000 + 1000 * i);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    entries.push_back({"N" + std::to_string(i) + ".bmp", std::move(noise)});
  }
  entries.push_back({"tiny.bmp", {}});
  for (int level : {0, 1, 9}) {
    const TacSkinConvertor c = Extract(BuildPackedSkin(entries, level));
    ASSERT_EQ(c.ImageEntries.size(), 4u) << "level " << level;
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(c.ImageEntries[i].EntryData, entries[i + 1].Data);
  }
}

TEST(acSkinPack, AcceptsAnEmptyPackAndIgnoresBytesAfterTheLastEntry) {
  TacBytes empty{'A', 'S', 'z', 'f', 0, 0, 0, 0};
  const TacSkinConvertor none = Extract(empty);
  EXPECT_FALSE(none.OptionsData);
  EXPECT_TRUE(none.ImageEntries.empty());
  EXPECT_EQ(none.LastEntryIndex, -1);

  TacBytes packed = test::MakePack("[A]\r\n");
  packed.insert(packed.end(), {1, 2, 3, 4, 5});
  EXPECT_TRUE(Extract(packed).OptionsData);

  // The layout allows an entry without a name; it is an image no key can name.
  const TacSkinConvertor unnamed = Extract(RawPack(1, 0, "", 2, Zlib(Bytes("BM"))));
  ASSERT_EQ(unnamed.ImageEntries.size(), 1u);
  EXPECT_EQ(unnamed.ImageEntries[0].EntryName, "");
  EXPECT_EQ(unnamed.ImageEntries[0].EntryData, Bytes("BM"));
}

// The file's length bounds a name, and a later options entry replaces an
// earlier one.
TEST(acSkinPack, TakesLongNamesAndTheLastOptionsEntry) {
  const std::string longName = std::string(300, 'L') + ".bmp";
  const TacSkinConvertor c =
      Extract(BuildPackedSkin({{"Options.dat", Bytes("[FIRST]\r\n")},
                               {longName, Bytes("x")},
                               {"OPTIONS.DAT", Bytes("[LAST]\r\n")}}));
  ASSERT_TRUE(c.OptionsData);
  EXPECT_EQ(*c.OptionsData, Bytes("[LAST]\r\n"));
  ASSERT_EQ(c.ImageEntries.size(), 1u);
  EXPECT_EQ(c.ImageEntries[0].EntryName, longName);
  EXPECT_EQ(c.LastEntryIndex, 2);
}

struct BadPack {
  const char* what;
  TacBytes bytes;
  const char* message;
};

std::vector<BadPack> BadPacks() {
  const TacBytes text = Bytes("[GLOBALINFO]\r\nVERSION=7.0\r\n");
  const TacBytes stream = Zlib(text);
  TacBytes cut = RawPack(1, 11, "Options.dat", 27, stream);
  cut.resize(cut.size() - 6);
  TacBytes damaged = RawPack(1, 11, "Options.dat", 27, stream);
  damaged[damaged.size() - 2] ^= 0x55;  // the Adler-32 trailer
  TacBytes wrongCase = test::MakePack("[A]");
  wrongCase[1] = 'S';
  wrongCase[2] = 'Z';
  wrongCase[3] = 'F';
  return {
      {"upper-case signature", wrongCase, "Loaded data is not packed skin file"},
      {"short file", Bytes("ASz"), "Loaded data is not packed skin file"},
      {"header cut after the signature", Bytes("ASzf\x01"), "truncated"},
      {"negative count", RawPack(-1, 11, "Options.dat", 27, stream), "entry count"},
      {"count larger than the file", RawPack(1000000, 11, "Options.dat", 27, stream),
       "entry count"},
      {"count one more than present", RawPack(2, 11, "Options.dat", 27, stream), "truncated"},
      {"negative name length", RawPack(1, -5, "Options.dat", 27, stream), "name length"},
      {"name length past the end", RawPack(1, 0x7FFFFFFF, "Options.dat", 27, stream),
       "name length"},
      {"negative size", RawPack(1, 11, "Options.dat", -1, stream), "unpacked size"},
      {"absurd size", RawPack(1, 11, "Options.dat", 0x7FFFFFFF, stream), "unpacked size"},
      {"size larger than the stream inflates to", RawPack(1, 11, "Options.dat", 28, stream),
       "Stream read error"},
      {"size smaller than the stream inflates to", RawPack(1, 11, "Options.dat", 26, stream),
       "more data"},
      {"truncated entry", cut, "Stream read error"},
      {"damaged checksum", damaged,
       "Decompression error in packed skin entry \"Options.dat\" "
       "(incorrect data check)"},
      {"garbage instead of zlib", RawPack(1, 11, "Options.dat", 27, Bytes("garbage bytes")),
       "Decompression error"},
  };
}

TEST(acSkinPack, RejectsMalformedPacksAndLeavesTheConvertorEmpty) {
  for (const BadPack& bad : BadPacks()) {
    TacSkinConvertor c;
    c.PackedData = std::make_unique<TacBytes>(bad.bytes);
    try {
      ExtractPackedData(c);
      ADD_FAILURE() << bad.what << ": accepted";
    } catch (const ESkinError& e) {
      EXPECT_NE(std::string(e.what()).find(bad.message), std::string::npos)
          << bad.what << ": " << e.what();
    }
    EXPECT_FALSE(c.OptionsData) << bad.what;
    EXPECT_TRUE(c.ImageEntries.empty()) << bad.what;
    EXPECT_FALSE(c.PackedData) << bad.what;
  }
}

TEST(acSkinPack, EveryTruncationOfAGoodPackIsRejectedCleanly) {
  const TacBytes good =
      test::MakePack("[GLOBALINFO]\r\nMASTERBITMAP=M.BMP\r\n", {{"M.BMP", test::SolidBmp(8, 8)}});
  for (std::size_t n = 0; n < good.size(); ++n) {
    TacSkinConvertor c;
    c.PackedData = std::make_unique<TacBytes>(good.begin(), good.begin() + n);
    EXPECT_THROW(ExtractPackedData(c), ESkinError) << "length " << n;
  }
}

TEST(acSkinPack, LoadsAFileAndDropsTheSourceOrReleasesTheConvertorOnError) {
  const std::string name = "acSkinPack_test.asz";
  test::WriteFile(name, test::MakePack("[A]\r\n", {{"X.bmp", test::SolidBmp(2, 2)}}));
  std::unique_ptr<TacSkinConvertor> c;
  LoadPackedSkinFile(name, c, true);
  ASSERT_TRUE(c);
  EXPECT_FALSE(c->PackedData);
  EXPECT_EQ(c->ImageEntries.size(), 1u);

  LoadPackedSkinFile("no-such-skin-file.asz", c, true);  // a missing file changes nothing
  ASSERT_TRUE(c);
  EXPECT_EQ(c->ImageEntries.size(), 1u);

  test::WriteFile(name, Bytes("ASZF"));
  EXPECT_THROW(LoadPackedSkinFile(name, c, false), ESkinError);
  EXPECT_FALSE(c);
  std::remove(name.c_str());
}

}  // namespace
}  // namespace kv
