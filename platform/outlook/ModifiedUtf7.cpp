#include "platform/outlook/ModifiedUtf7.h"

#include <glib.h>

#include <cstdint>
#include <vector>

namespace outlook {

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+,";
static_assert(kAlphabet.size() == 64);

bool IsPrintableAscii(gunichar c)
{
    return c >= 0x20 && c <= 0x7E;
}

int AlphabetValue(char c)
{
    const auto at = kAlphabet.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

/// Writes UTF-16 code units as one base64 run: "&", the sextets, "-".
class RunWriter {
public:
    explicit RunWriter(std::string& out) : out_(out) {}

    void Add(gunichar c)
    {
        if (c < 0x10000) {
            AddUnit(c);
            return;
        }
        c -= 0x10000;
        AddUnit(0xD800 + (c >> 10));
        AddUnit(0xDC00 + (c & 0x3FF));
    }
    void Close()
    {
        if (!open_) return;
        if (bitCount_ > 0) out_ += kAlphabet[(bits_ << (6 - bitCount_)) & 0x3F];
        out_ += '-';
        open_ = false;
        bits_ = 0;
        bitCount_ = 0;
    }

private:
    void AddUnit(std::uint32_t unit)
    {
        if (!open_) out_ += '&';
        open_ = true;
        bits_ = (bits_ << 16) | unit;
        bitCount_ += 16;
        while (bitCount_ >= 6) {
            bitCount_ -= 6;
            out_ += kAlphabet[(bits_ >> bitCount_) & 0x3F];
        }
        bits_ &= (1u << bitCount_) - 1;
    }

    std::string& out_;
    bool open_ = false;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
};

void AppendUtf8(std::string& out, gunichar c)
{
    char bytes[6];
    out.append(bytes, static_cast<std::size_t>(g_unichar_to_utf8(c, bytes)));
}

/// The UTF-16 code units of a base64 run (without "&" and "-"); nullopt for a character
/// outside the alphabet. Bits left over at the end are dropped here; the caller's check
/// against the encoder refuses a run that had any worth keeping.
std::optional<std::vector<std::uint32_t>> RunUnits(std::string_view run)
{
    std::vector<std::uint32_t> units;
    std::uint32_t bits = 0;
    int bitCount = 0;
    for (const char c : run) {
        const int value = AlphabetValue(c);
        if (value < 0) return std::nullopt;
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        bitCount += 6;
        if (bitCount >= 16) {
            bitCount -= 16;
            units.push_back((bits >> bitCount) & 0xFFFF);
            bits &= (1u << bitCount) - 1;
        }
    }
    return units;
}

/// Appends the characters of UTF-16 code units; false for a lone surrogate or a NUL.
bool AppendUnits(std::string& out, const std::vector<std::uint32_t>& units)
{
    for (std::size_t i = 0; i < units.size(); ++i) {
        gunichar c = units[i];
        if (c >= 0xDC00 && c <= 0xDFFF) return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 == units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        if (c == 0) return false;
        AppendUtf8(out, c);
    }
    return true;
}

/// Decodes without checking that the text is in the encoder's form.
std::optional<std::string> DecodeLoosely(std::string_view encoded)
{
    std::string out;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(encoded[i]);
        if (!IsPrintableAscii(byte)) return std::nullopt;
        if (byte != '&') {
            out += static_cast<char>(byte);
            continue;
        }
        const auto dash = encoded.find('-', i + 1);
        if (dash == std::string_view::npos) return std::nullopt;
        const auto run = encoded.substr(i + 1, dash - i - 1);
        i = dash;
        if (run.empty()) {
            out += '&';
            continue;
        }
        const auto units = RunUnits(run);
        if (!units || units->empty() || !AppendUnits(out, *units)) return std::nullopt;
    }
    return out;
}

}  // namespace

std::string EncodeModifiedUtf7(std::string_view utf8)
{
    if (!g_utf8_validate(utf8.data(), static_cast<gssize>(utf8.size()), nullptr)) return std::string(utf8);
    std::string out;
    RunWriter run(out);
    for (const char* p = utf8.data(); p < utf8.data() + utf8.size(); p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char(p);
        if (!IsPrintableAscii(c)) {
            run.Add(c);
            continue;
        }
        run.Close();
        out += c == '&' ? "&-" : std::string(1, static_cast<char>(c));
    }
    run.Close();
    return out;
}

std::optional<std::string> DecodeModifiedUtf7(std::string_view encoded)
{
    auto decoded = DecodeLoosely(encoded);
    // One name, one spelling: what the encoder would not write stands for itself.
    if (!decoded || EncodeModifiedUtf7(*decoded) != encoded) return std::nullopt;
    return decoded;
}

}  // namespace outlook
