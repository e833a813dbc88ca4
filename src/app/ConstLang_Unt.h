// Caption and message texts of both languages, and the language flag that
// picks one. The window code applies the caption tables to its controls; the
// Lang_ texts are read wherever a dialog, the history decoding or a message
// box shows something of its own.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr int LanguageChinese = 0;
inline constexpr int LanguageEnglish = 1;

// 0 Chinese, 1 English. Set by the language switch, not by the caption texts.
extern unsigned char LanguageFlag;

// A control's caption in both languages (UTF-8). Name is the component name;
// the side-bar items and the status-bar check boxes have none and go by order.
struct TCaptionText {
  const char* Name;
  const char* English;
  const char* Chinese;
  // Chinese for language 0, English for anything else.
  const char* Text(int language) const { return language == LanguageChinese ? Chinese : English; }
};

// Caption of column Column (0 = the row caption column) of a list view.
struct TColumnCaption {
  const char* ListView;
  int Column;
  const char* English;
  const char* Chinese;
  const char* Text(int language) const { return language == LanguageChinese ? Chinese : English; }
};

// Main-window caption tables, in the order the captions are applied.
std::span<const TCaptionText> ButtonCaptions();
std::span<const TCaptionText> CheckBoxCaptions();
std::span<const TCaptionText> GroupAndLabelCaptions();
std::span<const TCaptionText> EditLabelCaptions();
std::span<const TCaptionText> SheetCaptions();
std::span<const TCaptionText> MenuCaptions();
std::span<const TCaptionText> SideBarCaptions();         // the six title items, in order
std::span<const TCaptionText> StatusBarCheckCaptions();  // "Debug", then "Auto Start"
std::span<const TColumnCaption> ListColumnCaptions();    // lvDo, lvTh, lvTel, lvTimer
// Hints that only the English captions set; the Chinese ones leave them as they are.
std::span<const TCaptionText> EnglishOnlyHints();
// Header cells of the history grid that the caption procedures rewrite.
std::span<const TColumnCaption> HistoryHeaderCaptions();
// Side-bar frame buttons that have no Lang_ text of their own.
std::span<const TCaptionText> FrameButtonCaptions();
// The history grid's header cells of columns 0 to 7 (number to record type).
std::span<const TColumnCaption> HistoryHeaderRowCaptions();

// The entry named name in table, or nullptr.
const TCaptionText* FindCaption(std::span<const TCaptionText> table, std::string_view name);
// Column captions of one list view, column 0 first; empty for an unknown name.
std::vector<std::string> ListColumnTexts(std::string_view listView, int language);

// Hint of the four setting list views.
std::string ListViewHint(int language);
// Items of the GPRS protocol combo box, index = protocol code.
std::vector<std::string> ProtocolItems(int language);
// Items of the GPRS transport combo box, index = transport bit (TCP, UDP).
std::vector<std::string> TransportItems();
// Title of the main window, version included.
std::string MainWindowCaption(int language);
// Message of refused input ("Input Error").
std::string InputErrorText(int language);
// The message when a skin chosen in the Skins menu cannot be loaded.
std::string SkinLoadErrorText(int language, const std::string& skinName);
// A write that ended before its first block went out.
std::string NothingWrittenText(int language);
// Write Setting refused because the channel rows, built once a run for the
// first device's model, do not fit this device's `model`; rowsBuilt: that
// model was a known one (else it was none and no rows were built).
std::string ChannelRowsOfAnotherDeviceText(int language, const std::string& model, bool rowsBuilt);
// Hint of the phone number edit (the same in both languages).
extern const char* const PhoneNumberHint;
// Hint of the relay close-time edit.
extern const char* const DoCloseTimeHint;

// The language texts: empty until AssignLanguageTexts runs.
extern std::string Lang_MsgPortChanged;
extern std::string Lang_MsgClearAll;
extern std::string Lang_MsgDeleteAll;
extern std::string Lang_MsgPasswordError;
extern std::string Lang_MsgSuccess;
extern std::string Lang_MsgSelectOption;
extern std::string Lang_LblModel;
extern std::string Lang_LblVersion;
extern std::string Lang_LblImei;
extern std::string Lang_MsgReboot;
extern std::string Lang_MsgReset;
extern std::string Lang_MsgFinish;
extern std::string Lang_MsgDisconnected;
extern std::string Lang_LblSignal;
extern std::string Lang_OK;
extern std::string Lang_DoChannelName;
extern std::string Lang_DoCloseTime;
extern std::string Lang_DoOpenDesc;
extern std::string Lang_DoCloseDesc;
extern std::string Lang_DoRecovery;
extern std::string Lang_Cancel;
extern std::string Lang_DoDefault;
extern std::string Lang_ThDefault;
extern std::string Lang_ThOK;
extern std::string Lang_ThRecoveryText;
extern std::string Lang_ThLowText;
extern std::string Lang_ThHighText;
extern std::string Lang_ThLowLimit;
extern std::string Lang_ThHighLimit;
extern std::string Lang_ThVerifyTime;
extern std::string Lang_ThChannelName;
extern std::string Lang_ThEnable;
extern std::string Lang_ThRecovery;
extern std::string Lang_ThLinkDo1;
extern std::string Lang_ThLinkDo2;
extern std::string Lang_PhoneCaption;
extern std::string Lang_PhoneCancel;
extern std::string Lang_PhoneOK;
extern std::string Lang_PhoneNumber;
extern std::string Lang_PhoneRelay;
extern std::string Lang_PhoneGprsFailure;
extern std::string Lang_PhoneAlarmRecovery;
extern std::string Lang_PhoneArmSms;
extern std::string Lang_PhoneDial;
extern std::string Lang_PhoneTimerReport;
extern std::string Lang_PhoneAlarm;
extern std::string Lang_PhonePower;
extern std::string Lang_PhoneLowSignal;
extern std::string Lang_PhoneAll;
extern std::string Lang_TimerCaption;
extern std::string Lang_TimerWeek;
extern std::string Lang_TimerHour;
extern std::string Lang_TimerMinute;
extern std::string Lang_TimerAction;
extern std::string Lang_TimerEnable;
extern std::string Lang_Action0;
extern std::string Lang_Action1;
extern std::string Lang_Action2;
extern std::string Lang_Action3;
extern std::string Lang_Action4;
extern std::string Lang_Action5;
extern std::string Lang_Action6;
extern std::string Lang_Action7;
extern std::string Lang_Action8;
extern std::string Lang_Action9;
extern std::string Lang_Action10;
extern std::string Lang_WeekSun;
extern std::string Lang_WeekMon;
extern std::string Lang_WeekTue;
extern std::string Lang_WeekWed;
extern std::string Lang_WeekThu;
extern std::string Lang_WeekFri;
extern std::string Lang_WeekSat;
extern std::string Lang_WeekEveryday;
extern std::string Lang_FrameBasic;
extern std::string Lang_FrameHistory;
extern std::string Lang_FrameTimer;
extern std::string Lang_FramePhone;
extern std::string Lang_HistArm;
extern std::string Lang_HistDisarm;
extern std::string Lang_HistOpen;
extern std::string Lang_HistClose;
extern std::string Lang_HistInterval;
extern std::string Lang_HistAlarm;
extern std::string Lang_HistUpload;
extern std::string Lang_HistRelay;
extern std::string Lang_HistArmDisarm;
extern std::string Lang_HistLowSignal;
extern std::string Lang_HistPower;

// A language text variable with its two texts (the two threshold labels,
// which depend on the model, are not in this table).
struct TLangText {
  const char* Name;
  std::string* Variable;
  const char* English;
  const char* Chinese;
};
std::span<const TLangText> LangTexts();
// The text of the Lang_ variable named name in a language, whatever the
// current language; empty for an unknown name.
std::string LangText(std::string_view name, int language);

// Threshold label texts for a model index; false when the model is unknown.
bool ThresholdLimitTexts(int language, int modelIndex, std::string& low, std::string& high);

// Assigns every Lang_ text for the language (Chinese for 0, English for any
// other value). Lang_ThLowLimit and Lang_ThHighLimit follow the model index
// and stay as they are while the model is unknown. LanguageFlag is not touched.
void AssignLanguageTexts(int language, int modelIndex);

}  // namespace kv
