// Skin items onto device contexts and by section name.
#include <gtest/gtest.h>
#include <windows.h>

#include "../../graphics/Pixels.h"
#include "../../model/SkinTestUtil.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/model/sSkinModel.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Px;
using testing::SetPx;

constexpr std::uint32_t kOld = 0x445566, kSource = 0x0080FF;

// "PLAIN" is opaque red, "GLASS" wholly transparent.
TsSkinModel TwoSections() {
  TsSkinModel skin;
  TsGeneralData plain;
  plain.ClassName = "PLAIN";
  plain.Color = 0x0000FF;
  TsGeneralData glass = plain;
  glass.ClassName = "GLASS";
  glass.Transparency = 100;
  skin.GeneralData = {plain, glass};
  return skin;
}

TEST(SkinItemByName, FallsBackToTheSecondNameAndPaintsOverTheSource) {
  const TsSkinModel skin = TwoSections();
  TBitmap source = Filled(8, 8, pf24bit, kSource);
  TBitmapCanvas sourceCanvas(source);
  struct Case {
    const char *name, *alt;
    bool fromSource;
    int index;
    std::uint32_t want;
  };
  for (const Case& c :
       {Case{"NONE", "PLAIN", false, 0, 0xFF0000}, Case{"GLASS", "PLAIN", true, 1, kSource},
        Case{"NONE", "NADA", true, -1, kOld}}) {
    TBitmap b = Filled(4, 4, pf24bit, kOld);
    EXPECT_EQ(PaintSkinItemByName(&b, c.name, c.alt, 0, &skin, {2, 2}, clNone,
                                  c.fromSource ? sourceCanvas.Handle() : nullptr),
              c.index);
    EXPECT_EQ(Px(b, 3, 3), c.want) << c.name << " / " << c.alt;
  }
}

TEST(SkinItemToDC, PaintsOnlyTheRectangle) {
  const TsSkinModel skin = TwoSections();
  TBitmap b = Filled(8, 8, pf24bit, kOld);
  {
    TBitmapCanvas canvas(b);
    PaintSkinItemToDC(0, "PLAIN", EmptyBgCacheInfo, true, 0, {2, 2, 5, 5}, {0, 0}, canvas.Handle(),
                      &skin);
    PaintSkinItemToDC(0, "PLAIN", EmptyBgCacheInfo, true, 0, {-1, 0, 5, 5}, {0, 0}, canvas.Handle(),
                      &skin);
    GdiFlush();
  }
  EXPECT_EQ(Px(b, 2, 2), 0xFF0000u);
  EXPECT_EQ(Px(b, 4, 4), 0xFF0000u);
  EXPECT_EQ(Px(b, 5, 5), kOld);
  EXPECT_EQ(Px(b, 1, 1), kOld);
}

// The skin-data painters on controls of a form: BOX is opaque red, GRAD not
// uniform (so it answers with its cache), GLASS wholly see-through.
const char* const kDataOptions =
    "[GLOBALINFO]\r\nCOLOR=16777215\r\n"
    "[BOX]\r\nCOLOR=255\r\n"
    "[GRAD]\r\nCOLOR=255\r\nGRADIENTPERCENT=50\r\n"
    "[GLASS]\r\nTRANSPARENCY=100\r\n";

class TBox : public TCustomControl {
 public:
  explicit TBox(TComponent* owner) : TCustomControl(owner), sd(this, true) {}
  TsCommonData sd;

 protected:
  void WndProc(TMessage& m) override {
    if (PreviewControlMessage(m, &sd)) return;
    TCustomControl::WndProc(m);
  }
};

struct TFormOnly : TacFormProvider {
  TCustomForm* form = nullptr;
  TsSkinManager* SkinManager() const override { return DefaultManager; }
  void SetPaintingLocked(bool) override {}
  TCustomForm* Form() const override { return form; }
};

class SkinDataPainting : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DefaultManager, nullptr) << "a manager outlived its test";
    manager = CreateOwned<TsSkinManager>();
    manager->SetSkinDirectory("c:\\NoSkins");
    TsStoredSkin& skin = manager->InternalSkins.Add();
    skin.Name = "T";
    skin.Data = kv::test::MakePack(kDataOptions);
    manager->SetSkinName("T");
    ASSERT_TRUE(manager->CommonSkinData().Active);
    form = CreateOwned<TForm>();
    form->SetBounds(0, 0, 200, 150);
  }

  TBox* Box(TWinControl* parent, const std::string& section, TRect bounds) {
    auto* box = Create<TBox>(form.get());
    box->SetBoundsRect(bounds);
    box->SetParent(parent);
    box->sd.SetSkinSection(section);
    return box;
  }

  Owned<TsSkinManager> manager;
  Owned<TForm> form;
};

TEST_F(SkinDataPainting, ACustomColourIsTheOwnersOrItsProvidersForm) {
  TBox* box = Box(form.get(), "BOX", {0, 0, 20, 20});
  box->SetColor(0x563412);
  form->SetColor(0x9A7856);
  TFormOnly provider;
  provider.form = form.get();
  struct Case {
    bool custom;
    TacFormProvider* provider;
    std::uint32_t want;  // as Px reads
  };
  for (const Case& c : {Case{false, nullptr, 0xFF0000}, Case{true, nullptr, 0x123456},
                        Case{true, &provider, 0x56789A}}) {
    box->sd.SetCustomColor(c.custom);
    box->sd.SetOwnerProvider(c.provider);
    TBitmap b = Filled(6, 6, pf24bit, kOld);
    PaintSkinDataBackground(&box->sd, EmptyBgCacheInfo, 0, {1, 1, 5, 5}, {}, &b);
    EXPECT_EQ(Px(b, 2, 2), c.want) << "custom " << c.custom << " provider " << !!c.provider;
    EXPECT_EQ(Px(b, 0, 0), kOld);
  }
  // A provider that has no form yet leaves the section's colour.
  provider.form = nullptr;
  box->sd.SetOwnerProvider(&provider);
  TBitmap b = Filled(6, 6, pf24bit, kOld);
  PaintSkinDataItem(&box->sd, EmptyBgCacheInfo, true, 0, {0, 0, 6, 6}, {}, &b);
  EXPECT_EQ(Px(b, 3, 3), 0xFF0000u);
}

TEST_F(SkinDataPainting, OnTheParentTheItemTakesTheParentsCacheAtItsPlace) {
  TBox* parent = Box(form.get(), "GRAD", {0, 0, 60, 50});
  TBox* child = Box(parent, "GLASS", {7, 5, 20, 15});
  form->Handle();
  PrepareCacheBitmap(&parent->sd);
  TBitmap& cache = *parent->sd.CacheBmp;
  for (int y = 0; y < cache.Height(); ++y)
    for (int x = 0; x < cache.Width(); ++x) SetPx(cache, x, y, 0x070000u | x << 8 | y);
  TBitmap b = Filled(13, 10, pf24bit, kOld);
  PaintSkinDataItemOnParent(&child->sd, parent, true, 0, {0, 0, 13, 10},
                            {child->Left(), child->Top()}, &b);
  EXPECT_EQ(Px(b, 0, 0), 0x070000u | 7 << 8 | 5);
  EXPECT_EQ(Px(b, 12, 9), 0x070000u | 19 << 8 | 14);
  // Without a skin nothing is painted.
  manager->SetActive(false);
  TBitmap untouched = Filled(4, 4, pf24bit, kOld);
  PaintSkinDataItemOnParent(&child->sd, parent, true, 0, {0, 0, 4, 4}, {}, &untouched);
  PaintSkinDataBackground(&child->sd, EmptyBgCacheInfo, 0, {0, 0, 4, 4}, {}, &untouched);
  EXPECT_EQ(Px(untouched, 1, 1), kOld);
}

}  // namespace
}  // namespace kv
