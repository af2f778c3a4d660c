// Plain text of an HTML page, for the Body of a message that has only an HTML part.

#include <cctype>
#include <string>
#include <string_view>

#include <glib.h>

#include "platform/outlook/Mime.h"

namespace outlook {

namespace {

struct Entity {
    std::string_view name;
    const char* text;
};
constexpr Entity kEntities[] = {
    {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", "\xC2\xA0"},
    {"copy", "\xC2\xA9"}, {"reg", "\xC2\xAE"}, {"euro", "\xE2\x82\xAC"}, {"ndash", "\xE2\x80\x93"},
    {"mdash", "\xE2\x80\x94"}, {"hellip", "\xE2\x80\xA6"},
};

bool IsBreakTag(std::string_view tag)
{
    for (const std::string_view block : {"br", "p", "/p", "div", "/div", "tr", "/tr", "li", "h1", "h2", "h3",
                                         "/h1", "/h2", "/h3", "/table", "hr", "/li"}) {
        if (tag == block) return true;
    }
    return false;
}

std::string TagName(std::string_view inside)
{
    std::string name;
    for (const char c : inside) {
        if (std::isspace(static_cast<unsigned char>(c)) || c == '>' || (c == '/' && !name.empty())) break;
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

/// Decodes the entity starting at `pos` ("&...;"); returns its length, 0 when none.
std::size_t DecodeEntity(std::string_view html, std::size_t pos, std::string& out)
{
    const auto semicolon = html.find(';', pos);
    if (semicolon == std::string_view::npos || semicolon - pos > 10) return 0;
    const std::string_view name = html.substr(pos + 1, semicolon - pos - 1);
    if (!name.empty() && name[0] == '#') {
        const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
        const std::string digits(name.substr(hex ? 2 : 1));
        const gunichar code = static_cast<gunichar>(std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10));
        if (code == 0 || !g_unichar_validate(code)) return 0;
        char buffer[8];
        out.append(buffer, static_cast<std::size_t>(g_unichar_to_utf8(code, buffer)));
        return semicolon - pos + 1;
    }
    for (const auto& entity : kEntities) {
        if (entity.name == name) {
            out += entity.text;
            return semicolon - pos + 1;
        }
    }
    return 0;
}

}  // namespace

std::string HtmlToText(const std::string& html)
{
    std::string out;
    bool space = false;
    std::string skipUntil;  // inside <script> or <style>
    for (std::size_t i = 0; i < html.size(); ++i) {
        const char c = html[i];
        if (c == '<') {
            const auto close = html.find('>', i);
            if (close == std::string::npos) break;
            const std::string tag = TagName(std::string_view(html).substr(i + 1, close - i - 1));
            i = close;
            if (!skipUntil.empty()) {
                if (tag == skipUntil) skipUntil.clear();
                continue;
            }
            if (tag == "script" || tag == "style" || tag == "head") skipUntil = "/" + tag;
            else if (IsBreakTag(tag)) { out += "\r\n"; space = false; }
            continue;
        }
        if (!skipUntil.empty()) continue;
        if (std::isspace(static_cast<unsigned char>(c))) {
            space = true;
            continue;
        }
        if (space && !out.empty() && out.back() != '\n') out += ' ';
        space = false;
        if (c == '&') {
            if (const std::size_t used = DecodeEntity(html, i, out)) {
                i += used - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace outlook
