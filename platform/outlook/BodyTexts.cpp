#include "platform/outlook/BodyTexts.h"

#include <algorithm>

namespace outlook {

std::string NormalizeLineEnds(std::string_view text)
{
    constexpr std::size_t npos = std::string_view::npos;
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    std::size_t cr = text.find('\r'), lf = text.find('\n');
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = std::min(cr, lf);
        if (end == npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, end - pos));
        out += "\r\n";
        pos = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
        if (cr < pos) cr = text.find('\r', pos);
        if (lf < pos) lf = text.find('\n', pos);
    }
    return out;
}

}  // namespace outlook
