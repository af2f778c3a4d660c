// Decoder benchmark: 100 MB (or the size given, in MB) of base64 in lines of 76 and of
// quoted-printable text (accented words, escapes and soft line breaks) decoded in chunks of
// 64 KB by GMime's step functions and by ours; prints MB/s of encoded input, best of three.

#include <gmime/gmime.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
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

std::string QuotedPrintableText(std::size_t size)
{
    static const char* const words[] = {"Gr=C3=BC=C3=9Fe",  "caf=C3=A9", "the",      "message", "=3D",
                                        "r=C3=A9sum=C3=A9", "order",     "attached", "please",  "tomorrow",
                                        "=E2=82=AC",        "invoice"};
    std::mt19937 random(2);
    std::string text, line;
    text.reserve(size + 100);
    while (text.size() < size) {
        line += words[random() % std::size(words)];
        line += random() % 9 == 0 ? "=20" : " ";
        if (line.size() < 70) continue;
        text += line + (random() % 3 == 0 ? "\r\n" : "=\r\n");
        line.clear();
    }
    return text;
}

template <class Decode>
double MegabytesPerSecond(const std::string& text, Decode decode)
{
    std::vector<unsigned char> out(kChunk + 16);
    double best = 0;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        std::size_t total = 0;
        decode(text, out.data(), total);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::max(best, text.size() / 1e6 / took.count());
        if (total == 0) std::fprintf(stderr, "nothing decoded\n");
    }
    return best;
}

template <class Step>
void InChunks(const std::string& text, unsigned char* out, std::size_t& total, Step step)
{
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0; at < text.size(); at += kChunk)
        total += step(in + at, std::min(kChunk, text.size() - at), out);
}

void Measure(const char* name, const std::string& text, GMimeContentEncoding encoding)
{
    const bool base64 = encoding == GMIME_CONTENT_ENCODING_BASE64;
    const double gmime =
        MegabytesPerSecond(text, [base64](const std::string& t, unsigned char* out, std::size_t& total) {
            int state = 0;
            guint32 save = 0;
            InChunks(t, out, total, [&](const unsigned char* in, std::size_t n, unsigned char* o) {
                return base64 ? g_mime_encoding_base64_decode_step(in, n, o, &state, &save)
                              : g_mime_encoding_quoted_decode_step(in, n, o, &state, &save);
            });
        });
    const double ours =
        MegabytesPerSecond(text, [base64](const std::string& t, unsigned char* out, std::size_t& total) {
            outlook::Base64Decoder b;
            outlook::QuotedPrintableDecoder q;
            InChunks(t, out, total, [&](const unsigned char* in, std::size_t n, unsigned char* o) {
                return base64 ? b.Step(in, n, o) : q.Step(in, n, o);
            });
        });
    std::printf("%-17s %6.0f MB/s GMime  %6.0f MB/s ours  %.1fx\n", name, gmime, ours, ours / gmime);
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
