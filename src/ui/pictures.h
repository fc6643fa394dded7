#pragma once
// The pictures embedded in the executable: the program icon and the title-strip pictures.
#include <windows.h>

#include "common/win_handles.h"

namespace hkv {

enum class PictureId { Close, Menu, Minimise };

// Pixel size of each title-strip picture at 96 DPI.
inline constexpr int kPictureSize = 16;

// Draws the picture with its transparency, its top-left corner at (x, y) on dc, stretched to
// size × size pixels. Draws nothing when the picture cannot be had.
void DrawPicture(HDC dc, PictureId id, int x, int y, int size = kPictureSize);
// The same with every pixel in one colour, the picture's transparency kept: the picture as a mask,
// for a scheme the user chose.
void DrawPictureIn(HDC dc, PictureId id, COLORREF color, int x, int y, int size = kPictureSize);

// The program icon at size × size pixels, from the executable's icon resource; empty when the
// executable has none.
UniqueIcon LoadProgramIcon(int size);

} // namespace hkv
