#include "jobs/MatchStr.h"

#include <algorithm>

namespace {

/// Index of the code point after the one at `i`. A byte that does not start a valid
/// sequence counts as one character of its own, so broken input still matches sensibly.
std::size_t NextChar(std::string_view s, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t length = 1;
    if (lead >= 0xF0 && lead < 0xF8) {
        length = 4;
    } else if (lead >= 0xE0) {
        length = lead < 0xF0 ? 3 : 1;
    } else if (lead >= 0xC0) {
        length = 2;
    }
    if (i + length > s.size()) return i + 1;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return i + 1;
    }
    return i + length;
}

}  // namespace

bool IsAllStars(std::string_view Mask)
{
    return std::all_of(Mask.begin(), Mask.end(), [](char c) { return c == '*'; });
}

int FirstWildcardPos(std::string_view Mask)
{
    const std::size_t pos = Mask.find_first_of("*?");
    return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

// Greedy scan with one backtrack point: the most recent "*" and the text position it was
// last tried at. When a later literal fails, that "*" swallows one more character and the
// scan resumes after it. Earlier stars never need revisiting, since the latest star can
// absorb anything an earlier one could.
bool MatchWildcard(std::string_view Text, std::string_view Mask)
{
    constexpr std::size_t none = std::string_view::npos;
    std::size_t t = 0;
    std::size_t m = 0;
    std::size_t starMask = none;
    std::size_t starText = 0;
    while (t < Text.size()) {
        if (m < Mask.size() && Mask[m] == '*') {
            starMask = ++m;
            starText = t;
        } else if (m < Mask.size() && Mask[m] == '?') {
            t = NextChar(Text, t);
            ++m;
        } else if (m < Mask.size() && Mask[m] == Text[t]) {
            ++t;
            ++m;
        } else if (starMask != none) {
            starText = NextChar(Text, starText);
            t = starText;
            m = starMask;
        } else {
            return false;
        }
    }
    return IsAllStars(Mask.substr(std::min(m, Mask.size())));
}
