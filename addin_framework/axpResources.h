#pragma once
// The bitmap resources of an add-in library: pictures kept in the library under a name (its
// button faces), stored as PNG images and registered when the library is loaded. The CMake
// function trovanta_bitmap_resources() (cmake/Trovanta.cmake) embeds image files and
// registers them.

#include <string>
#include <string_view>

#include "platform/office/CommandBars.h"

/// Makes the PNG image `PngBytes` the library's bitmap resource `Name` (names compare ignoring
/// case); a later registration of the same name replaces it. The bytes are copied.
void RegisterBitmapResource(const std::string& Name, std::string_view PngBytes);

/// The picture of the bitmap resource `Name`, every pixel opaque as in a bitmap. Raises
/// Exception "Resource <Name> not found" when there is none, and an Exception naming the
/// resource when its image cannot be decoded.
office::Picture LoadBitmapResource(const std::string& Name);

/// Decodes a PNG image; raises Exception when it is not one.
office::Picture DecodePng(std::string_view PngBytes);
