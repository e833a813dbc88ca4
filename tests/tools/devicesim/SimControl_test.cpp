#include "devicesim/SimControl.h"

#include <gtest/gtest.h>

#include "SimTestBytes.h"
#include "devicesim/SimOptions.h"

namespace kv {
namespace {

const SimBytes kReply = HexBytes("23 08 00 00 00 00 00 06 18 05 07 0A 14 1F 15");

std::vector<SimChunk> OneReply() { return {{kReply, 0}}; }

TEST(SimControl, PassesRepliesThroughUntouchedWithoutFaults) {
  SimControl control;
  const auto out = control.Shape(OneReply());
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].bytes, kReply);
  EXPECT_EQ(out[0].logged, kReply);
  EXPECT_EQ(out[0].gapMs, 0);
}

TEST(SimControl, DropsTheGivenNumberOfAnsweredRequests) {
  SimControl control;
  control.Apply("drop 2");
  EXPECT_TRUE(control.Shape({}).empty());  // an unanswered request uses up nothing
  EXPECT_TRUE(control.Shape(OneReply()).empty());
  EXPECT_TRUE(control.Shape(OneReply()).empty());
  EXPECT_EQ(control.Shape(OneReply()).size(), 1u);
  control.Apply("drop");
  EXPECT_TRUE(control.Shape(OneReply()).empty());
  EXPECT_EQ(control.Shape(OneReply()).size(), 1u);
}

TEST(SimControl, SpoilsTheChecksumOfTheNextReplyOnly) {
  SimControl control;
  control.Apply("badsum");
  const auto bad = control.Shape(OneReply());
  ASSERT_EQ(bad.size(), 1u);
  EXPECT_EQ(SimBytes(bad[0].bytes.begin(), bad[0].bytes.end() - 1),
            SimBytes(kReply.begin(), kReply.end() - 1));
  EXPECT_NE(bad[0].bytes.back(), kReply.back());
  EXPECT_EQ(bad[0].logged, bad[0].bytes);  // the log shows what went out
  EXPECT_EQ(control.Shape(OneReply())[0].bytes, kReply);
}

TEST(SimControl, SplitsAReplyInTwoHalvesWithAGap) {
  SimControl control;
  control.Apply("split 150");
  const auto out = control.Shape(OneReply());
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].bytes, HexBytes("23 08 00 00 00 00 00"));
  EXPECT_EQ(out[1].bytes, HexBytes("06 18 05 07 0A 14 1F 15"));
  EXPECT_EQ(out[1].gapMs, 150);
  EXPECT_EQ(out[0].logged, kReply);  // one log line for the whole reply
  EXPECT_TRUE(out[1].logged.empty());
}

TEST(SimControl, SplitsAReplyInMorePiecesAndFollowsOneWithAStatusFrame) {
  SimControl control;
  control.Apply("split 40 1 3");
  const auto out = control.Shape(OneReply());
  ASSERT_EQ(out.size(), 3u);
  SimBytes whole;
  for (const auto& piece : out) whole.insert(whole.end(), piece.bytes.begin(), piece.bytes.end());
  EXPECT_EQ(whole, kReply);
  EXPECT_EQ(out[1].gapMs, 40);
  EXPECT_EQ(out[2].gapMs, 40);
  EXPECT_EQ(control.Shape(OneReply()).size(), 1u);  // used up
  EXPECT_EQ(control.Apply("split 40 1 1").kind, SimControlAction::Kind::Invalid);

  const SimBytes status = HexBytes("23 80 00 00 00 00 00 00 80");
  control.Apply("follow 5");
  const auto followed = control.Shape(OneReply(), status);
  ASSERT_EQ(followed.size(), 2u);
  EXPECT_EQ(followed[0].bytes, kReply);
  EXPECT_EQ(followed[1].bytes, status);
  EXPECT_EQ(followed[1].gapMs, 5);
  EXPECT_EQ(followed[1].logged, status);
}

TEST(SimControl, DelaysPrefixesTruncatesAndDuplicates) {
  SimControl control;
  control.Apply("late 3500");
  EXPECT_EQ(control.Shape(OneReply())[0].gapMs, 3500);

  control.Apply("garbage");
  auto out = control.Shape(OneReply());
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].bytes, SimControl::GarbageBytes());
  EXPECT_NE(out[0].bytes[0], kSimFrameStart);
  EXPECT_EQ(out[1].bytes, kReply);

  // Length field kept (6), three data bytes left, checksum over what is left.
  control.Apply("truncate");
  out = control.Shape(OneReply());
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(HexText(out[0].bytes), HexText(HexBytes("23 08 00 00 00 00 00 06 18 05 07 14")));

  // Length 6 claims 0x0E06 bytes; everything else as sent.
  control.Apply("badlen 0E00");
  EXPECT_EQ(HexText(control.Shape(OneReply())[0].bytes),
            HexText(HexBytes("23 08 00 00 00 00 0E 06 18 05 07 0A 14 1F 15")));
  for (const char* line : {"badlen", "badlen 10000", "badlen x", "badlen 80 1 2"})
    EXPECT_EQ(control.Apply(line).kind, SimControlAction::Kind::Invalid) << line;

  control.Apply("concat");
  out = control.Shape(OneReply());
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].bytes, kReply);
  EXPECT_EQ(out[1].bytes, kReply);
  EXPECT_EQ(out[1].gapMs, 0);
}

TEST(SimControl, AppliesFaultsToEachChunkOfAProgressReply) {
  SimControl control;
  control.Apply("badsum");
  const auto out = control.Shape({{TextBytes("50"), 200}, {TextBytes("100"), 200}});
  ASSERT_EQ(out.size(), 2u);
  EXPECT_NE(out[0].bytes, TextBytes("50"));
  EXPECT_EQ(out[1].bytes, TextBytes("100"));
  EXPECT_EQ(out[1].gapMs, 200);
}

TEST(SimControl, ResetClearsArmedFaults) {
  SimControl control;
  control.Apply("drop 5");
  control.Apply("badsum 3");
  control.Apply("reset");
  EXPECT_EQ(control.Shape(OneReply())[0].bytes, kReply);
}

TEST(SimControl, ArmsAFaultForEveryKthReplyUntilReset) {
  SimControl control;
  ASSERT_EQ(control.Apply("every 3 late 3500").kind, SimControlAction::Kind::None);
  EXPECT_TRUE(control.Shape({}).empty());  // an unanswered request is no reply
  std::vector<int> gaps;
  for (int i = 0; i < 7; ++i) gaps.push_back(control.Shape(OneReply())[0].gapMs);
  EXPECT_EQ((std::vector<int>{0, 0, 3500, 0, 0, 3500, 0}), gaps);
  control.Apply("reset");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(0, control.Shape(OneReply())[0].gapMs);
  for (const char* line : {"every", "every 3", "every 0 drop", "every x drop", "every 2 model KV41",
                           "every 2 explode", "every 2 every 3 drop"}) {
    EXPECT_EQ(control.Apply(line).kind, SimControlAction::Kind::Invalid) << line;
  }
}

TEST(SimControl, ReportsActionsAndRejectsWhatItDoesNotKnow) {
  SimControl control;
  EXPECT_EQ(control.Apply("unsolicited").kind, SimControlAction::Kind::Unsolicited);
  EXPECT_EQ(control.Apply("close").kind, SimControlAction::Kind::Close);
  const SimControlAction model = control.Apply("model KV 99");
  EXPECT_EQ(model.kind, SimControlAction::Kind::Model);
  EXPECT_EQ(model.text, "KV 99");
  const SimControlAction dump = control.Apply("dump Z:\\tmp\\a b.txt");
  EXPECT_EQ(dump.kind, SimControlAction::Kind::Dump);
  EXPECT_EQ(dump.text, "Z:\\tmp\\a b.txt");
  const SimControlAction command = control.Apply("command 40");
  EXPECT_EQ(command.kind, SimControlAction::Kind::Command);
  EXPECT_EQ(command.text, "40");
  const SimControlAction poke = control.Apply("poke 3566 19fF");
  EXPECT_EQ(poke.kind, SimControlAction::Kind::Poke);
  EXPECT_EQ(poke.at, 3566u);
  EXPECT_EQ(poke.bytes, (SimBytes{0x19, 0xFF}));
  EXPECT_EQ(control.Apply("").kind, SimControlAction::Kind::None);
  for (const char* line : {"explode", "drop x", "drop -1", "split", "late 10 20 30", "model",
                           "dump", "reset now", "command", "command 100", "command 4x", "poke 1",
                           "poke 1 abc", "poke 1 zz", "poke 3567 0102", "poke -1 00"}) {
    EXPECT_EQ(control.Apply(line).kind, SimControlAction::Kind::Invalid) << line;
  }
  EXPECT_EQ(control.Shape(OneReply())[0].bytes, kReply);  // nothing armed by them
}

TEST(SimOptions, ReadsTheCommandLine) {
  SimOptions o;
  std::string error;
  ASSERT_TRUE(ParseSimOptions(
      {"--link", "/tmp/com5", "--model", "KV42", "--password", "1234", "--no-pace", "--log", "l",
       "--modem", "m", "--control", "c", "--image", "i", "--history", "20000",
       "--command-bits", "80"},
      o, error))
      << error;
  EXPECT_EQ(o.link, "/tmp/com5");
  EXPECT_EQ(o.model, "KV42");
  EXPECT_EQ(o.password, "1234");
  EXPECT_FALSE(o.pace);
  EXPECT_EQ(o.log + o.modem + o.control + o.image, "lmci");
  EXPECT_EQ(o.history, 20000);
  EXPECT_EQ(o.commandBits, 0x80);
}

TEST(SimOptions, RefusesUnusableArguments) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--link"},
      {"--link", "x", "--model", "KV44"},
      {"--link", "x", "--history", "20001"},
      {"--link", "x", "--history", "ten"},
      {"--link", "x", "--password", "12345"},
      {"--link", "x", "--fast"},
      {"--link", "x", "--command-bits", "1FF"},
  };
  for (const auto& args : bad) {
    SimOptions o;
    std::string error;
    EXPECT_FALSE(ParseSimOptions(args, o, error)) << args.size();
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace kv
