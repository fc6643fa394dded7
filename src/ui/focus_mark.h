#pragma once
// The mark that shows which control has the keyboard focus: a dotted rectangle just inside the
// control's edge, in the colour of its text where that stands out from the control's background
// (white on the accent colour does not), else in black or white; drawn only while the window
// shows keyboard cues (a mouse user sees the controls as they always look).
#include <windows.h>

namespace hkv::ui {

// Whether the window's keyboard cues are on: the user has moved the focus with the keyboard, or
// the system shows the cues always.
bool KeyboardCuesShown(HWND control);

// Draws the mark inside `client`, on a control of these colours. Idempotent: drawing it twice
// leaves it as once.
void DrawFocusMark(HDC dc, const RECT& client, COLORREF text, COLORREF background);

// For a system edit control subclassed by the program: call after the control's own handling of
// every message. It repaints the control when the focus or the cues change and adds the mark after
// the control has painted itself, on the colours its parent gives it.
void FollowFocusMark(HWND edit, UINT msg);

} // namespace hkv::ui
