// Decoder benchmark: 100 MB (or the size given, in MB) of base64 in lines of 76 and of
// quoted-printable text (the words of the generated stores, escapes and soft line breaks) decoded in chunks
// of 64 KB by GMime's step functions and by ours; prints MB/s of encoded input, best of seven.

#include <gmime/gmime.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/outlook/ContentDecoder.h"

namespace {

constexpr std::size_t kChunk = 64 * 1024;

std::string Base64Text(std::size_t size)
{
    std::mt19937 random(1);
    std::string binary(size / 4 * 3, '\0');
    for (char& c : binary) c = static_cast<char>(random());
    gchar* encoded = g_base64_encode(reinterpret_cast<const guchar*>(binary.data()), binary.size());
    const std::string_view all(encoded);
    std::string text;
    text.reserve(size + size / 38);
    for (std::size_t at = 0; at < all.size(); at += 76) text.append(all.substr(at, 76)).append("\r\n");
    g_free(encoded);
    return text;
}

/// Lines of the words the generated stores' bodies are made of (bench/generate-store.py), in
/// UTF-8, encoded as the stores encode them: bytes outside ASCII and '=' escaped, soft line
/// breaks "=\n" before 76 columns.
std::string QuotedPrintableText(std::size_t size)
{
    static const char* const words[] = {"the",     "report", "project", "meeting", "invoice",  "offer",
                                        "quarter", "budget", "review",  "please",  "attached", "regards",
                                        "Zürich",  "Köln",   "café",    "Größe",   "naïve",    "résumé",
                                        "Ärger",   "über",   "später",  "a=b"};
    std::mt19937 random(2);
    std::string text, line;
    text.reserve(size + 100);
    const auto put = [&](std::string_view piece) {
        if (line.size() + piece.size() > 75) {
            text += line + "=\n";
            line.clear();
        }
        line += piece;
    };
    while (text.size() < size) {
        for (std::size_t n = 6 + random() % 7; n > 0; --n) {
            for (const unsigned char c : std::string_view(words[random() % std::size(words)])) {
                char escape[4];
                std::snprintf(escape, sizeof escape, "=%02X", c);
                put(c >= 0x80 || c == '=' ? std::string_view(escape, 3)
                                          : std::string_view(reinterpret_cast<const char*>(&c), 1));
            }
            put(n > 1 ? " " : "");
        }
        text += line + "\n";
        line.clear();
    }
    return text;
}

template <class Step>
void InChunks(const std::string& text, unsigned char* out, std::size_t& total, Step step)
{
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0; at < text.size(); at += kChunk)
        total += step(in + at, std::min(kChunk, text.size() - at), out);
}

/// MB/s of one pass of `decode` over `text`.
template <class Decode>
double OnePass(const std::string& text, Decode decode)
{
    std::vector<unsigned char> out(kChunk + 16);
    std::size_t total = 0;
    const auto start = std::chrono::steady_clock::now();
    decode(text, out.data(), total);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (total == 0) std::fprintf(stderr, "nothing decoded\n");
    return text.size() / 1e6 / took.count();
}

/// GMime's and ours, one pass each in turn so that both see the same load on the machine;
/// the best of seven of each.
void Measure(const char* name, const std::string& text, GMimeContentEncoding encoding)
{
    const bool base64 = encoding == GMIME_CONTENT_ENCODING_BASE64;
    const auto gmime = [base64](const std::string& t, unsigned char* out, std::size_t& total) {
        int state = 0;
        guint32 save = 0;
        InChunks(t, out, total, [&](const unsigned char* in, std::size_t n, unsigned char* o) {
            return base64 ? g_mime_encoding_base64_decode_step(in, n, o, &state, &save)
                          : g_mime_encoding_quoted_decode_step(in, n, o, &state, &save);
        });
    };
    const auto ours = [base64](const std::string& t, unsigned char* out, std::size_t& total) {
        outlook::Base64Decoder b;
        outlook::QuotedPrintableDecoder q;
        InChunks(t, out, total, [&](const unsigned char* in, std::size_t n, unsigned char* o) {
            return base64 ? b.Step(in, n, o) : q.Step(in, n, o);
        });
    };
    double bestGMime = 0, bestOurs = 0;
    for (int run = 0; run < 7; ++run) {
        bestGMime = std::max(bestGMime, OnePass(text, gmime));
        bestOurs = std::max(bestOurs, OnePass(text, ours));
    }
    std::printf("%-17s %6.0f MB/s GMime  %6.0f MB/s ours  %.1fx\n", name, bestGMime, bestOurs,
                bestOurs / bestGMime);
}

}  // namespace

int main(int argc, char** argv)
{
    g_mime_init();
    const std::size_t size = (argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100) << 20;
    Measure("base64", Base64Text(size), GMIME_CONTENT_ENCODING_BASE64);
    Measure("quoted-printable", QuotedPrintableText(size), GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);
    g_mime_shutdown();
    return 0;
}
