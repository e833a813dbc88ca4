#pragma once
// TDateTimePicker: the system date and time picker (SysDateTimePick32).
// The value is kept in the object as a TDateTime, so it can be set before
// the window exists and survives a new window.

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "base/DateTime.h"
#include "classlib/Controls.h"

namespace kv {

enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateFormat { dfShort, dfLong };

class TDateTimePicker : public TWinControl {
 public:
  explicit TDateTimePicker(TComponent* owner);
  ~TDateTimePicker() override;

  // The user changed the value (not raised for the setters).
  TNotifyEvent OnChange;

  TDateTimeKind Kind() const { return kind_; }
  void SetKind(TDateTimeKind kind);
  TDTDateFormat DateFormat() const { return dateFormat_; }
  void SetDateFormat(TDTDateFormat format);

  TDateTime DateTime() const { return value_; }
  void SetDateTime(TDateTime value);
  // The day alone; setting keeps the time of day.
  TDateTime Date() const { return DateOf(value_); }
  void SetDate(TDateTime value);
  // The time of day alone; setting keeps the day.
  TDateTime Time() const { return TimeOf(value_); }
  void SetTime(TDateTime value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void Dispatch(TMessage& message) override;

 private:
  void ShowValue();

  TDateTimeKind kind_ = dtkDate;
  TDTDateFormat dateFormat_ = dfShort;
  TDateTime value_;
};

}  // namespace kv
