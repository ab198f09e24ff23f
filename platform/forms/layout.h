#pragma once
// Window layouts: plain text, one control per line, read when a form loads.
//
//   # a comment; blank lines are skipped
//   Form frmPortChange Caption="Port" ClientWidth=4500 ClientHeight=1800 StartUpPosition=2
//   Frame fraPort Left=120 Top=120 Width=4200 Height=900 Caption="Serial Port"
//   TextBox txtPortNo in=fraPort Left=240 Top=360 Width=1215 Height=285 Text="COM1"
//   UpDown udPortNo in=fraPort BuddyControl=txtPortNo SyncBuddy=False Min=1 Max=99
//   Label lblData(256) Left=120 Top=120 AutoSize=True Caption="text"
//   Frame fraY(0) in=SSTab1 tab=1 Caption="Positive"
//   Menu mnuFile(1) in=mnuTitleFile Caption="Open(&O)..." HelpContextID=502
//
// Each line: the kind (Form, TextBox, Label, CheckBox, OptionButton, Frame, CommandButton,
// HScrollBar, VScrollBar, ComboBox, PictureBox, Shape, Line, Image, Menu, UpDown, SSTab,
// ProgressBar, CommonDialog), the name with the array index in parentheses, then key=value
// fields: `in=` the container (a Frame, PictureBox or SSTab above it; for a Menu the parent
// menu), `tab=` the SSTab page, and the properties by their names (Left, Top, Width, Height
// in twips, Caption, Text, Tag, Visible, Enabled, TabIndex, TabStop, HelpContextID, ...).
// Values are bare words or "quoted" text ("" inside stands for one quote). Numbers are
// decimal or &H hexadecimal (&H8000000F&, read as the unsigned 32-bit pattern, like the
// colour constants); Booleans True/False (or -1/1/0); colours may also
// be vbRed, vbButtonFace, ... Lists: List(0)="1200" ItemData(0)=3; SSTab pages:
// Tabs=15 TabCaption(0)="DIP Switch". Fonts: FontName, FontSize, FontBold, ...; a control
// starts with the font of the Form line. Controls are created in line order (later lines lie
// in front). Tab order: a control's TabIndex when given, else its place among the lines;
// ties keep the line order.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace forms {

struct LayoutEntry {
  int line = 0;
  std::string kind;  // "Form" or a control kind
  std::string name;
  int index = -1;
  std::string container;  // "" = the form
  int containerIndex = -1;
  int tab = -1;
  bool hasTabIndex = false;
  std::vector<std::pair<std::string, std::string>> props;  // in the order written
};

struct Layout {
  std::string source;
  std::vector<LayoutEntry> entries;
};

// Parses a layout; a malformed line raises error 380 with "<source> line <n>: <what>".
Layout ParseLayout(std::string_view text, const std::string& source);

// Value conversions for layout fields (380 on a bad value, and on a number outside the Long
// range that every numeric property holds).
long LayoutLong(const std::string& value);
double LayoutDouble(const std::string& value);
bool LayoutBool(const std::string& value);
// "Name(3)" -> ("Name", 3); "Name" -> ("Name", -1).
std::pair<std::string, int> SplitIndexedName(const std::string& text);

}  // namespace forms
