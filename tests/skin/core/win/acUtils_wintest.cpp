// The toolkit's system helpers under Wine: properties by name, the program's
// folder and icons, the caption font, the message-pumping wait.
#include <gtest/gtest.h>

#include "SkinTestForms.h"
#include "classlib/TypInfo.h"
#include "skin/core/acUtils_win.h"

namespace kvtest {
namespace {

// A class with a set property whose element names share prefixes.
class TOptionsHolder : public TObject {
 public:
  std::uint32_t options = 0;
};

const bool optionsRegistered = [] {
  RegisterSetProperty<TOptionsHolder>(
      "Options", {"ovA", "ovAB", "ovB"}, [](TOptionsHolder& h) { return h.options; },
      [](TOptionsHolder& h, std::uint32_t v) { h.options = v; });
  return true;
}();

TEST(PropertiesByName, ReadAndWriteWhatTheClassHasAndNothingElse) {
  Owned<TSkinTestForm> form = CreateOwned<TSkinTestForm>(false);
  EXPECT_TRUE(PropertyExists(form.get(), "color"));
  EXPECT_FALSE(PropertyExists(form.get(), "Options"));
  EXPECT_FALSE(PropertyExists(nullptr, "Color"));
  SetOrdPropByName(form.get(), "Color", 0x123456);
  EXPECT_EQ(form->Color(), 0x123456);
  EXPECT_EQ(OrdPropByName(form.get(), "Color"), 0x123456);
  EXPECT_EQ(OrdPropByName(form.get(), "Nope"), -1);
  SetOrdPropByName(form.get(), "Nope", 5);
  EXPECT_EQ(ObjectPropByName(form.get(), "Font"), form->Font());
  EXPECT_EQ(ObjectPropByName(form.get(), "Color"), nullptr);
}

TEST(PropertiesByName, SetElementsChangeByExactName) {
  TOptionsHolder h;
  ChangeSetPropElement(&h, "Options", "ovAB", true);
  EXPECT_EQ(h.options, 2u) << "one element in an empty set";
  ChangeSetPropElement(&h, "Options", "ovA", true);
  ChangeSetPropElement(&h, "Options", "ovA", true);
  EXPECT_EQ(h.options, 3u);
  EXPECT_TRUE(SetPropHasElement(&h, "Options", "ovA"));
  EXPECT_FALSE(SetPropHasElement(&h, "Options", "ova"));
  ChangeSetPropElement(&h, "Options", "ovA", false);
  EXPECT_EQ(h.options, 2u) << "ovAB stays";
  ChangeSetPropElement(&h, "Options", "ovB", false);
  EXPECT_EQ(h.options, 2u);
  EXPECT_THROW(ChangeSetPropElement(&h, "Options", "ovC", true), EPropertyConvertError);
  ChangeSetPropElement(&h, "Nope", "ovA", true);
  EXPECT_FALSE(SetPropHasElement(&h, "Nope", "ovA"));
}

TEST(SystemHelpers, FolderIconsFontAndWait) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_TRUE(DirExists(folder));
  EXPECT_FALSE(DirExists(folder + "no such folder"));
  EXPECT_EQ(FileIconOf(folder + "no such file.exe", 0), nullptr);
  EXPECT_NE(CaptionFontHeight(), 0);
  HFONT font = CreateCaptionFont();
  EXPECT_NE(font, nullptr);
  DeleteObject(font);

  Owned<TSkinTestForm> form = CreateOwned<TSkinTestForm>(false);
  PostMessageW(form->Handle(), SM_ALPHACMD, MAKEWPARAM(0, cmdFadeFinished), 0);
  WaitWithMessages(0);
  EXPECT_EQ(form->Count(cmdFadeFinished), 1) << "messages are handled while waiting";
}

}  // namespace
}  // namespace kvtest
