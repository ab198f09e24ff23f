#pragma once
// Constants of the forms layer: key codes, shift and mouse masks, pointers, show and unload
// modes, common dialog flags and colours.

namespace forms {

// ---- Constants -----------------------------------------------------------------------------
enum KeyCodeConstants : int {
  vbKeyBack = 8, vbKeyTab = 9, vbKeyReturn = 13, vbKeyShift = 16, vbKeyControl = 17,
  vbKeyMenu = 18, vbKeyEscape = 27, vbKeySpace = 32, vbKeyPageUp = 33, vbKeyPageDown = 34,
  vbKeyEnd = 35, vbKeyHome = 36, vbKeyLeft = 37, vbKeyUp = 38, vbKeyRight = 39,
  vbKeyDown = 40, vbKeyInsert = 45, vbKeyDelete = 46, vbKey0 = 48, vbKey9 = 57, vbKeyA = 65,
  vbKeyZ = 90, vbKeyF1 = 112, vbKeyF10 = 121, vbKeyF12 = 123, vbKeyF16 = 127,
};
enum ShiftConstants : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };
enum MouseButtonConstants : int { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum MousePointerConstants : int {
  vbDefault = 0, vbArrow = 1, vbCrosshair = 2, vbIbeam = 3, vbIconPointer = 4,
  vbSizePointer = 5, vbSizeNESW = 6, vbSizeNS = 7, vbSizeNWSE = 8, vbSizeWE = 9,
  vbUpArrow = 10, vbHourglass = 11, vbNoDrop = 12, vbArrowHourglass = 13,
  vbArrowQuestion = 14, vbSizeAll = 15, vbCustom = 99,
};
enum FormShowConstants : int { vbModeless = 0, vbModal = 1 };
enum QueryUnloadConstants : int {
  vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2, vbAppTaskManager = 3,
  vbFormMDIForm = 4, vbFormOwner = 5,
};
enum CheckBoxConstants : int { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };
enum ScaleModeConstants : int {
  vbUser = 0, vbTwips = 1, vbPoints = 2, vbPixels = 3, vbCharacters = 4, vbInches = 5,
  vbMillimeters = 6, vbCentimeters = 7,
};
enum ComboStyleConstants : int { vbComboDropdown = 0, vbComboSimple = 1, vbComboDropdownList = 2 };
enum AlignmentConstants : int { vbLeftJustify = 0, vbRightJustify = 1, vbCenter = 2 };
enum WindowStateConstants : int { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };
enum OLEDropConstants : int { vbOLEDropNone = 0, vbOLEDropManual = 1 };
enum StartUpPositionConstants : int { vbStartUpManual = 0, vbStartUpOwner = 1, vbStartUpScreen = 2, vbStartUpWindowsDefault = 3 };
// Edit style bit of a text box: digits only from the keyboard (pasting is not checked).
inline constexpr long ES_NUMBER = 0x2000;

// CommonDialog flags and its cancel error.
enum CommonDialogConstants : long {
  cdlOFNReadOnly = 0x1, cdlOFNOverwritePrompt = 0x2, cdlOFNHideReadOnly = 0x4,
  cdlOFNNoChangeDir = 0x8, cdlOFNHelpButton = 0x10, cdlOFNNoValidate = 0x100,
  cdlOFNAllowMultiselect = 0x200, cdlOFNExtensionDifferent = 0x400,
  cdlOFNPathMustExist = 0x800, cdlOFNFileMustExist = 0x1000, cdlOFNCreatePrompt = 0x2000,
  cdlOFNShareAware = 0x4000, cdlOFNNoReadOnlyReturn = 0x8000, cdlOFNExplorer = 0x80000,
  cdlOFNLongNames = 0x200000,
  cdlCancel = 32755,
};

// Colours (&H00BBGGRR).
inline constexpr long vbBlack = 0x000000, vbRed = 0x0000FF, vbGreen = 0x00FF00,
                      vbYellow = 0x00FFFF, vbBlue = 0xFF0000, vbMagenta = 0xFF00FF,
                      vbCyan = 0xFFFF00, vbWhite = 0xFFFFFF;
inline constexpr long vbButtonFace = static_cast<long>(0x8000000FL), vbButtonText = static_cast<long>(0x80000012L),
                      vbWindowBackground = static_cast<long>(0x80000005L), vbWindowText = static_cast<long>(0x80000008L),
                      vbHighlight = static_cast<long>(0x8000000DL), vbHighlightText = static_cast<long>(0x8000000EL),
                      vbGrayText = static_cast<long>(0x80000011L), vbInfoBackground = static_cast<long>(0x80000018L),
                      vbInfoText = static_cast<long>(0x80000017L), vbWindowFrame = static_cast<long>(0x80000006L),
                      vbMenuBar = static_cast<long>(0x80000004L), vbMenuText = static_cast<long>(0x80000007L);
// RGB(r, g, b) = r + g*256 + b*65536; arguments above 255 count as 255, below 0 as 0.
long RGB(int r, int g, int b);
// The classic 16-colour palette (0-15); 5 outside.
long QBColor(int n);
// A system colour (&H80000000 + index) resolved to RGB with the classic Windows scheme;
// other values are returned unchanged.
long ResolveColor(long color);

}  // namespace forms
