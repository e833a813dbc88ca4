#include "classlib/DateTimePickers.h"

#include <cmath>

namespace kv {

namespace {

void InitDateClass() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

SYSTEMTIME ToSystemTime(TDateTime value) {
  int y, mo, d, h, mi, s, ms;
  DecodeDateTime(value, y, mo, d, h, mi, s, ms);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(mo);
  st.wDay = static_cast<WORD>(d);
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(value) - 1);
  st.wHour = static_cast<WORD>(h);
  st.wMinute = static_cast<WORD>(mi);
  st.wSecond = static_cast<WORD>(s);
  st.wMilliseconds = static_cast<WORD>(ms);
  return st;
}

bool FromSystemTime(const SYSTEMTIME& st, TDateTime& value) {
  TDateTime d, t;
  if (!TryEncodeDate(st.wYear, st.wMonth, st.wDay, d)) return false;
  if (!TryEncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, t)) return false;
  value = d + t;
  return true;
}

// The day of one value with the time of day of another.
TDateTime Combine(TDateTime day, TDateTime timeOfDay) {
  int y, mo, d, h, mi, sec, ms;
  DecodeDate(day, y, mo, d);
  DecodeTime(timeOfDay, h, mi, sec, ms);
  return EncodeDateTime(y, mo, d, h, mi, sec, ms);
}

// The earliest day the system control shows (1601-01-01).
constexpr TDateTime kFirstDay = -109205.0;

}  // namespace

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner), value_(Now()) {
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 186, 21);
}

TDateTimePicker::~TDateTimePicker() = default;

void TDateTimePicker::SetKind(TDateTimeKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  RecreateWnd();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat format) {
  if (format == dateFormat_) return;
  dateFormat_ = format;
  RecreateWnd();
}

void TDateTimePicker::SetDateTime(TDateTime value) {
  // The control cannot show days before its first one; such a value would
  // be refused by the window and leave the object out of step with it.
  if (!std::isfinite(value) || value < kFirstDay) throw EInvalidOperation("Invalid date");
  value_ = value;
  ShowValue();
}

void TDateTimePicker::SetDate(TDateTime value) { SetDateTime(Combine(value, value_)); }

void TDateTimePicker::SetTime(TDateTime value) { SetDateTime(Combine(value_, value)); }

void TDateTimePicker::ShowValue() {
  if (!HandleAllocated()) return;
  SYSTEMTIME st = ToSystemTime(value_);
  SendMessageW(Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void TDateTimePicker::CreateParams(TCreateParams& p) {
  InitDateClass();
  TWinControl::CreateParams(p);
  CreateSubClass(p, DATETIMEPICK_CLASSW);
  if (kind_ == dtkTime)
    p.Style |= DTS_TIMEFORMAT;
  else if (dateFormat_ == dfLong)
    p.Style |= DTS_LONGDATEFORMAT;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TDateTimePicker::CreateHandleDone() {
  TWinControl::CreateHandleDone();
  ShowValue();
}

void TDateTimePicker::Dispatch(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    if (hdr->code == static_cast<UINT>(DTN_DATETIMECHANGE)) {
      auto* nm = reinterpret_cast<NMDATETIMECHANGE*>(m.LParam);
      TDateTime v;
      if (nm->dwFlags == GDT_VALID && FromSystemTime(nm->st, v) && v != value_) {
        // The time kind edits only the time of day, the date kind only the day.
        value_ = kind_ == dtkTime ? Combine(value_, v) : Combine(v, value_);
        if (OnChange) OnChange(this);
      }
    }
    return;
  }
  TWinControl::Dispatch(m);
}

}  // namespace kv
