// The runtime's numbers for the window system: events, properties, message-box
// buttons and icons, file-dialog flags and key codes. The values are the
// runtime's own, so that code written against them reads as the system's does.
#pragma once

#include <cstdint>

namespace window {

// ---- events (EVENT:x) ------------------------------------------------------------
// Field-specific events are below 0x100 (and Selected); FIELD() names their control.
inline constexpr int EVENT_Accepted = 0x01;
inline constexpr int EVENT_NewSelection = 0x02;
inline constexpr int EVENT_ScrollUp = 0x03;
inline constexpr int EVENT_ScrollDown = 0x04;
inline constexpr int EVENT_PageUp = 0x05;
inline constexpr int EVENT_PageDown = 0x06;
inline constexpr int EVENT_ScrollTop = 0x07;
inline constexpr int EVENT_ScrollBottom = 0x08;
inline constexpr int EVENT_Locate = 0x09;
inline constexpr int EVENT_MouseDown = 0x01;
inline constexpr int EVENT_MouseUp = 0x0A;
inline constexpr int EVENT_MouseIn = 0x0B;
inline constexpr int EVENT_MouseOut = 0x0C;
inline constexpr int EVENT_MouseMove = 0x0D;
inline constexpr int EVENT_AlertKey = 0x0F;
inline constexpr int EVENT_PreAlertKey = 0x10;
inline constexpr int EVENT_Drag = 0x12;
inline constexpr int EVENT_Drop = 0x13;
inline constexpr int EVENT_ScrollDrag = 0x14;
inline constexpr int EVENT_TabChanging = 0x15;
inline constexpr int EVENT_Rejected = 0x1A;
inline constexpr int EVENT_DroppingDown = 0x1B;
inline constexpr int EVENT_DroppedDown = 0x1C;
inline constexpr int EVENT_ScrollTrack = 0x1D;
inline constexpr int EVENT_ColumnResize = 0x1E;
inline constexpr int EVENT_Selecting = 0x1F;
inline constexpr int EVENT_Selected = 0x101;
// Field-independent events: FIELD() is 0.
inline constexpr int EVENT_CloseWindow = 0x201;
inline constexpr int EVENT_CloseDown = 0x202;
inline constexpr int EVENT_OpenWindow = 0x203;
inline constexpr int EVENT_OpenFailed = 0x204;
inline constexpr int EVENT_LoseFocus = 0x205;
inline constexpr int EVENT_GainFocus = 0x206;
inline constexpr int EVENT_Timer = 0x20B;
inline constexpr int EVENT_Move = 0x220;
inline constexpr int EVENT_Size = 0x221;
inline constexpr int EVENT_Restore = 0x222;
inline constexpr int EVENT_Maximize = 0x223;
inline constexpr int EVENT_Iconize = 0x224;
inline constexpr int EVENT_Completed = 0x225;
inline constexpr int EVENT_Moved = 0x230;
inline constexpr int EVENT_Sized = 0x231;
inline constexpr int EVENT_Restored = 0x232;
inline constexpr int EVENT_Maximized = 0x233;
inline constexpr int EVENT_Iconized = 0x234;
inline constexpr int EVENT_Docked = 0x235;
inline constexpr int EVENT_Undocked = 0x236;
inline constexpr int EVENT_User = 0x400;
inline constexpr int EVENT_Last = 0xFFF;

// ---- properties (PROP:x) ---------------------------------------------------------
inline constexpr int PROP_Text = 0x7C00;
inline constexpr int PROP_Type = 0x7C01;
inline constexpr int PROP_Xpos = 0x7C02;
inline constexpr int PROP_Ypos = 0x7C03;
inline constexpr int PROP_Width = 0x7C04;
inline constexpr int PROP_Height = 0x7C05;
inline constexpr int PROP_Resize = 0x7C1A;
inline constexpr int PROP_Disable = 0x7C5F;
inline constexpr int PROP_From = 0x7C62;
inline constexpr int PROP_Hide = 0x7C65;
inline constexpr int PROP_Icon = 0x7C68;
inline constexpr int PROP_Iconize = 0x7C69;
inline constexpr int PROP_Maximize = 0x7C6F;
inline constexpr int PROP_Msg = 0x7C73;
inline constexpr int PROP_ReadOnly = 0x7C7B;
inline constexpr int PROP_Format = 0x7C85;
inline constexpr int PROP_Timer = 0x7C86;
inline constexpr int PROP_Items = 0x7C8E;
inline constexpr int PROP_Selected = 0x7C8F;
inline constexpr int PROP_Handle = 0x7C96;
inline constexpr int PROP_Tip = 0x7CA0;
inline constexpr int PROP_Visible = 0x7CA7;
inline constexpr int PROP_Enabled = 0x7CA8;
inline constexpr int PROP_ChoiceFEQ = 0x7CAA;
inline constexpr int PROP_MinWidth = 0x7CAD;
inline constexpr int PROP_MinHeight = 0x7CAE;
inline constexpr int PROP_TipDelay = 0x7CB2;
inline constexpr int PROP_TipDisplay = 0x7CB3;
inline constexpr int PROP_LineHeight = 0x7CFD;
// The column and row of a list in which the mouse button was last pressed. The
// equate listings we have do not give these two numbers; they are ours, in the
// range of the runtime's list properties.
inline constexpr int PROPLIST_MouseDownField = 0x7E40;
inline constexpr int PROPLIST_MouseDownRow = 0x7E41;
// The position of a list's vertical scroll thumb, 1..100 (ours too).
inline constexpr int PROP_VScrollPos = 0x7E42;

// ---- MESSAGE buttons (BUTTON:x); a sum of them names the buttons of a box ----------
inline constexpr int BUTTON_OK = 0x01;
inline constexpr int BUTTON_YES = 0x02;
inline constexpr int BUTTON_NO = 0x04;
inline constexpr int BUTTON_ABORT = 0x08;
inline constexpr int BUTTON_RETRY = 0x10;
inline constexpr int BUTTON_IGNORE = 0x20;
inline constexpr int BUTTON_CANCEL = 0x40;
inline constexpr int BUTTON_HELP = 0x80;

// ---- MESSAGE icons (ICON:x) ------------------------------------------------------
enum class Icon { None, Application, Hand, Question, Exclamation, Asterisk };

// ---- FILEDIALOG flags (FILE:x) ---------------------------------------------------
inline constexpr int FILE_Save = 0x01;
inline constexpr int FILE_KeepDir = 0x02;
inline constexpr int FILE_NoError = 0x04;
inline constexpr int FILE_Multi = 0x08;
inline constexpr int FILE_LongName = 0x10;
inline constexpr int FILE_Directory = 0x20;
inline constexpr int FILE_CreatePrompt = 0x40;
inline constexpr int FILE_AddExtension = 0x80;

// ---- key codes (KEYCODE()) -------------------------------------------------------
inline constexpr int MouseLeft = 0x01;
inline constexpr int MouseLeft2 = 0x05;
inline constexpr int MouseRightUp = 0x82;
inline constexpr int EnterKey = 0x0D;
inline constexpr int EscKey = 0x1B;
inline constexpr int DeleteKey = 0x2E;
inline constexpr int BSKey = 0x08;
inline constexpr int SpaceKey = 0x20;
// The keys that move a list's highlight.
inline constexpr int PgUpKey = 0x21;
inline constexpr int PgDnKey = 0x22;
inline constexpr int EndKey = 0x23;
inline constexpr int HomeKey = 0x24;
inline constexpr int UpKey = 0x26;
inline constexpr int DownKey = 0x28;
inline constexpr int AKey = 0x41;  // letters: AKey + 0 .. 25 whatever the case typed
inline constexpr int ShiftKey = 0x100;  // added to a key code held with Shift
inline constexpr int CtrlKey = 0x200;   // ... with Ctrl
inline constexpr int CtrlH = CtrlKey + AKey + ('H' - 'A');
// Ours: the key code of a printable character that has none above (not a
// letter, digit or blank) is this plus the character.
inline constexpr int CharKey = 0x1000;

// The key code a typed printable character arrives with.
constexpr int char_keycode(char c) {
  if (c >= 'a' && c <= 'z') return AKey + (c - 'a');
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') return c;
  return CharKey + static_cast<unsigned char>(c);
}

}  // namespace window
