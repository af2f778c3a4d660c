#include "addin_framework/axpButtonFace.h"

office::Picture MakeButtonFace(const office::Picture& Bitmap, TColor TransparentColor)
{
    office::Picture face;
    if (Bitmap.Empty()) return face;
    face = Bitmap;
    const std::size_t bottomLeft = static_cast<std::size_t>(Bitmap.Height - 1) * Bitmap.Width;
    const TColor transparent = TransparentColor == clDefault ? PixelColor(Bitmap.Pixels.at(bottomLeft))
                                                             : (TransparentColor & 0xFFFFFFu);
    // clBtnFace in 0xRRGGBB order with alpha 0.
    const std::uint32_t background = PixelColor(clBtnFace);
    for (auto& pixel : face.Pixels)
        if (PixelColor(pixel) == transparent) pixel = background;
    return face;
}
