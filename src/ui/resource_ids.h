#pragma once
// Identifiers of the resources embedded in the executable. Plain macros so that the resource
// compiler reads this header as well as C++.

// The program icon has the lowest icon number: Explorer shows the first icon group as the
// executable's own icon.
#define IDI_PROGRAM 1

// The title-strip pictures: 32-bit bitmaps with premultiplied alpha (tools/make_assets.py).
#define IDR_PICTURE_CLOSE 101
#define IDR_PICTURE_MENU 102
#define IDR_PICTURE_MINIMISE 103
