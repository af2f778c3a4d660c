#include "addin_framework/axpResources.h"

#include <png.h>

#include <map>
#include <memory>

#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"

namespace {

std::map<std::string, std::string>& Resources()
{
    static std::map<std::string, std::string> resources;
    return resources;
}

/// Frees what libpng allocated for an image, also when decoding fails half-way.
struct PngImage {
    png_image image{};
    PngImage() { image.version = PNG_IMAGE_VERSION; }
    ~PngImage() { png_image_free(&image); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;
};

}  // namespace

void RegisterBitmapResource(const std::string& Name, std::string_view PngBytes)
{
    Resources()[UpperCase(Name)] = std::string(PngBytes);
}

office::Picture DecodePng(std::string_view PngBytes)
{
    PngImage png;
    if (!png_image_begin_read_from_memory(&png.image, PngBytes.data(), PngBytes.size()))
        throw Exception(std::string("The image cannot be read: ") + png.image.message);
    png.image.format = PNG_FORMAT_RGBA;
    office::Picture picture;
    picture.Width = static_cast<int>(png.image.width);
    picture.Height = static_cast<int>(png.image.height);
    std::vector<png_byte> rgba(PNG_IMAGE_SIZE(png.image));
    if (!png_image_finish_read(&png.image, nullptr, rgba.data(), 0, nullptr))
        throw Exception(std::string("The image cannot be read: ") + png.image.message);
    picture.Pixels.reserve(rgba.size() / 4);
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
        picture.Pixels.push_back((std::uint32_t(rgba[i + 3]) << 24) | (std::uint32_t(rgba[i]) << 16) |
                                 (std::uint32_t(rgba[i + 1]) << 8) | rgba[i + 2]);
    }
    return picture;
}

office::Picture LoadBitmapResource(const std::string& Name)
{
    const auto& resources = Resources();
    const auto it = resources.find(UpperCase(Name));
    if (it == resources.end()) throw Exception("Resource " + Name + " not found");
    office::Picture picture;
    try {
        picture = DecodePng(it->second);
    } catch (const Exception& e) {
        throw Exception("Resource " + Name + ": " + e.Message());
    }
    for (auto& pixel : picture.Pixels) pixel |= 0xFF000000u;  // a bitmap has no transparency
    return picture;
}
