#include "skin/model/sConst.h"

namespace kv {

int DefaultScrollArrowSize = 16;

const std::array<const char*, ControlKindCount> ControlKindNames = {
    "Edit",        "Button",      "BitBtn",     "CheckBox", "ComboBox",  "Grid",
    "GroupBox",    "ListView",    "Panel",      "TreeView", "wwEdit",    "GridEh",
    "VirtualTree", "PageControl", "TabControl", "ToolBar",  "StatusBar", "SpeedButton"};

const std::array<const char*, ControlKindCount> DefaultClassLists = {
    "TEdit\r\nTMemo\r\nTMaskEdit\r\nTLabeledEdit\r\nTHotKey\r\nTListBox\r\nTCheckListBox\r\n"
    "TRichEdit\r\nTDateTimePicker",
    "TButton",
    "TBitBtn",
    "TCheckBox\r\nTRadioButton\r\nTGroupButton",
    "TComboBox\r\nTColorBox",
    "TStringGrid\r\nTDrawGrid",
    "TGroupBox\r\nTRadioGroup",
    "TListView",
    "TPanel",
    "TTreeView",
    " ",
    " ",
    " ",
    "TPageControl",
    "TTabControl",
    "TToolBar",
    "TStatusBar",
    "TSpeedButton"};

}  // namespace kv
