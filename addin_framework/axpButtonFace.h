#pragma once
// The face of a button made from a bitmap resource: every pixel of the transparent colour
// takes the colour of button faces, so the picture sits on the button as if it had no
// background of its own.

#include <cstdint>

#include "platform/office/CommandBars.h"

/// A colour as the system's code gives it: 0x00BBGGRR.
using TColor = std::uint32_t;

/// As the transparent colour of a button: take it from the bitmap's bottom-left pixel.
inline constexpr TColor clDefault = 0x20000000;

/// The system colour of button faces (the light grey of current Windows themes).
inline constexpr TColor clBtnFace = 0x00F0F0F0;

/// `Bitmap` with every pixel whose colour is the transparent colour (the bottom-left pixel's
/// when `TransparentColor` is clDefault) replaced by clBtnFace and marked as background
/// (alpha 0), so that a host that draws with alpha shows its own button colour there. Other
/// pixels are kept. An empty bitmap gives an empty face.
office::Picture MakeButtonFace(const office::Picture& Bitmap, TColor TransparentColor);

/// The TColor of a pixel 0xAARRGGBB.
constexpr TColor PixelColor(std::uint32_t Pixel)
{
    return ((Pixel >> 16) & 0xFFu) | (Pixel & 0xFF00u) | ((Pixel & 0xFFu) << 16);
}
static_assert(PixelColor(0xFF112233u) == 0x00332211u);
