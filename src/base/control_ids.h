#pragma once
// Child-window identifiers of the main window's controls. The test driver finds the
// controls by these, so they are part of the window's contract.

namespace control_id {

inline constexpr int Button1 = 101;
inline constexpr int Button2 = 102;
inline constexpr int Button3 = 103;
inline constexpr int Button4 = 104;
inline constexpr int Button5 = 105;
inline constexpr int Button6 = 106;
inline constexpr int Button7 = 107;
inline constexpr int Button8 = 108;
inline constexpr int Button9 = 109;
inline constexpr int CheckBox1 = 111;
inline constexpr int CheckBox2 = 112;
inline constexpr int Edit1 = 121;
inline constexpr int Edit2 = 122;
inline constexpr int Edit3 = 123;
inline constexpr int Edit4 = 124;
inline constexpr int Edit5 = 125;
inline constexpr int Panel1 = 131;
inline constexpr int Panel2 = 132;
inline constexpr int Panel3 = 133;
inline constexpr int StatusBar1 = 141;
inline constexpr int ProgressBar1 = 142;
inline constexpr int Image1 = 151;
inline constexpr int Image2 = 152;
inline constexpr int Label1 = 161;
inline constexpr int Label2 = 162;
inline constexpr int Label3 = 163;
inline constexpr int Label4 = 164;
inline constexpr int Label5 = 165;

}  // namespace control_id

// The main window's class and caption, as a driver looks for them.
inline constexpr wchar_t kMainWindowClass[] = L"TForm1";
inline constexpr wchar_t kMainWindowCaption[] = L"Установка базы Kalvera 1C";
