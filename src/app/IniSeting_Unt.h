// INI profiles: the setting controls of the main window saved to and loaded
// from an INI file. Section "Value" holds one key per simple control (named
// like the control); every list view has a section of its own, one key per
// row (the row caption) whose value is the row's cells, each trimmed, "~" for
// an empty one, each followed by "^". A cell that would not load back as it
// stands (a caret in it, "~" alone, half a character at its end) is escaped.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/BaseSoftInterface_Unt.h"
#include "app/SoftInterfaceMaster_Unt.h"

namespace kv {

class TIniFile;

// The time of day now, on the PC's clock.
TTimeOfDay CurrentTimeOfDay();
// The stored form of the report time, "HH:mm:ss" whatever the locale.
std::string TimeOfDayToText(const TTimeOfDay& time);
// Reads "H:mm[:ss]" with an optional AM/PM suffix (what locale time formats
// give); false when the text is no time of day.
bool TextToTimeOfDay(std::string_view text, TTimeOfDay& time);

// The profile file name: ".ini" is appended unless the name holds ".ini"
// somewhere, in any letter case.
std::string ProfileFileName(std::string_view chosenName);

class TIniSeting : public TBaseSoftInterface {
 public:
  enum TMode : unsigned char { ModeLoad = 0, ModeSave = 1 };

  // The clock that gives the report time of a profile without one.
  std::function<TTimeOfDay()> Now = CurrentTimeOfDay;

  // Fills the settings from the profile. A file that does not exist raises
  // EFOpenError and changes nothing.
  void LoadProfile(const std::string& fileName, TMasterSettings& settings) const;
  // Writes the settings into the profile; keys already in the file that the
  // save does not write are kept. A refused write raises EIniFileException.
  void SaveProfile(const std::string& fileName, const TMasterSettings& settings) const;

  // The seven containers in the order they are processed.
  static const std::vector<std::string>& ContainerNames();
  // Loads (mode 0) or saves (mode 1) the controls of one container; any other
  // mode or container does nothing.
  void ProcessContainerControls(std::string_view container, TIniFile& ini, unsigned char mode,
                                TMasterSettings& settings) const;

  // The list-view halves; columnCount is the list view's number of columns.
  static void SaveListViewToIni(TIniFile& ini, std::string_view listView, const TListRows& rows,
                                int columnCount);
  static void LoadListViewFromIni(const TIniFile& ini, std::string_view listView, TListRows& rows,
                                  int columnCount);
};

}  // namespace kv
