// TDateTimePicker: the value kept as a TDateTime, the date and time kinds
// editing their half of it, the window in step, and user changes reported.
#include "classlib/DateTimePickers.h"

#include <gtest/gtest.h>

#include "ListsTest.h"

using namespace kv;

namespace {

SYSTEMTIME Shown(TDateTimePicker* p) {
  SYSTEMTIME st{};
  SendMessageW(p->Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  return st;
}

class DateTimePickerTest : public kvtest::ListsFormTest {
 protected:
  void SetUp() override {
    ListsFormTest::SetUp();
    picker = Create<TDateTimePicker>(form);
    picker->SetParent(form);
    picker->SetBounds(10, 10, 200, 24);
  }
  TDateTimePicker* picker = nullptr;
};

TEST_F(DateTimePickerTest, DateAndTimeSettersKeepTheOtherHalf) {
  picker->SetDateTime(EncodeDateTime(2024, 2, 29, 13, 45, 10, 0));
  picker->SetDate(EncodeDate(2025, 12, 31));
  EXPECT_DOUBLE_EQ(picker->DateTime(), EncodeDateTime(2025, 12, 31, 13, 45, 10, 0));
  picker->SetTime(EncodeDateTime(1999, 1, 1, 6, 7, 8, 0));  // its date is ignored
  EXPECT_DOUBLE_EQ(picker->DateTime(), EncodeDateTime(2025, 12, 31, 6, 7, 8, 0));
  EXPECT_DOUBLE_EQ(picker->Date(), EncodeDate(2025, 12, 31));
  EXPECT_NEAR(picker->Time(), EncodeTime(6, 7, 8, 0), 1e-9);
  const SYSTEMTIME st = Shown(picker);
  EXPECT_EQ(st.wYear, 2025);
  EXPECT_EQ(st.wMonth, 12);
  EXPECT_EQ(st.wDay, 31);
  EXPECT_EQ(st.wHour, 6);
  EXPECT_EQ(st.wMinute, 7);
}

TEST_F(DateTimePickerTest, TimeKindIsATimeWindowKeepingTheValue) {
  picker->SetDateTime(EncodeDateTime(2023, 7, 1, 8, 30, 0, 0));
  HWND old = picker->Handle();
  EXPECT_FALSE(GetWindowLongW(old, GWL_STYLE) & DTS_TIMEFORMAT);
  picker->SetKind(dtkTime);
  EXPECT_TRUE(GetWindowLongW(picker->Handle(), GWL_STYLE) & DTS_TIMEFORMAT);
  const SYSTEMTIME st = Shown(picker);
  EXPECT_EQ(st.wHour, 8);
  EXPECT_EQ(st.wMinute, 30);
  EXPECT_EQ(st.wDay, 1);
}

TEST_F(DateTimePickerTest, ADayTheControlCannotShowIsRefusedAndTheValueKept) {
  const TDateTime before = EncodeDateTime(2020, 1, 2, 3, 4, 5, 0);
  picker->SetDateTime(before);
  EXPECT_THROW(picker->SetDateTime(EncodeDate(1500, 1, 1)), EInvalidOperation);
  EXPECT_DOUBLE_EQ(picker->DateTime(), before);
  EXPECT_EQ(Shown(picker).wYear, 2020);
}

TEST_F(DateTimePickerTest, AKeyThatChangesTheShownValueRaisesOnChange) {
  picker->SetKind(dtkTime);
  picker->SetDateTime(EncodeDateTime(2022, 5, 6, 10, 20, 30, 0));
  int changes = 0;
  picker->OnChange = [&](TObject*) { ++changes; };
  picker->SetDateTime(EncodeDateTime(2022, 5, 6, 11, 20, 30, 0));
  EXPECT_EQ(changes, 0) << "setters are not user changes";
  Click(picker->Handle(), 8, 10);  // into the first field (the hour)
  Key(picker->Handle(), VK_UP);
  ASSERT_EQ(changes, 1) << "focus " << (GetFocus() == picker->Handle()) << " hour now "
                        << Shown(picker).wHour;
  const SYSTEMTIME st = Shown(picker);
  TDateTime shown =
      EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, 0);
  EXPECT_NEAR(picker->Time(), TimeOf(shown), 1e-6);
  EXPECT_DOUBLE_EQ(picker->Date(), EncodeDate(2022, 5, 6)) << "the time kind keeps the day";
  EXPECT_NE(picker->DateTime(), EncodeDateTime(2022, 5, 6, 11, 20, 30, 0));
}

}  // namespace
