#include "platform/shell/LinkText.h"

#include <algorithm>
#include <array>

#include "platform/runtime/Text.h"

namespace shell {
namespace {

// Characters of the bytes 0x80..0x9F in Windows-1252; 0 marks the five unassigned bytes.
constexpr std::array<char16_t, 32> kAnsiHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
static_assert(kAnsiHigh[0] == 0x20AC && kAnsiHigh[31] == 0x0178);

char AnsiByte(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    // The five unassigned bytes stand for the control characters of their own value.
    if (unit >= 0x80 && unit <= 0x9F && kAnsiHigh[unit - 0x80] == 0) return static_cast<char>(unit);
    const auto* found = std::find(kAnsiHigh.begin(), kAnsiHigh.end(), unit);
    if (unit != 0 && found != kAnsiHigh.end()) return static_cast<char>(0x80 + (found - kAnsiHigh.begin()));
    return '?';
}

}  // namespace

std::string Utf8ToAnsi(std::string_view utf8)
{
    const std::string units = Utf8ToUtf16LE(utf8);
    std::string out;
    out.reserve(units.size() / 2);
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(units[i]) |
                                                (static_cast<unsigned char>(units[i + 1]) << 8));
        if (unit >= 0xDC00 && unit <= 0xDFFF) continue;  // low half of a pair: its "?" is out
        out += AnsiByte(unit);
    }
    return out;
}

}  // namespace shell
