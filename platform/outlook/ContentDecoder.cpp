#include "platform/outlook/ContentDecoder.h"

#include <array>
#include <bit>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace outlook {

namespace {

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::uint8_t kNotBase64 = 0x80;

constexpr std::array<std::uint8_t, 256> kBase64Value = [] {
    std::array<std::uint8_t, 256> value{};
    value.fill(kNotBase64);
    for (std::uint8_t i = 0; i < 64; ++i) value[static_cast<unsigned char>(kBase64Alphabet[i])] = i;
    return value;
}();

/// A character's six bits already shifted to its place in a group (the first character's
/// table shifts by 18, the last one's by 0); kNotInGroup for any other byte, so that the
/// four looked up and or-ed together tell at once whether the group is whole.
constexpr std::uint32_t kNotInGroup = 1u << 24;

constexpr std::array<std::uint32_t, 256> GroupTable(int shift)
{
    std::array<std::uint32_t, 256> table{};
    table.fill(kNotInGroup);
    for (std::uint32_t i = 0; i < 64; ++i) table[static_cast<unsigned char>(kBase64Alphabet[i])] = i << shift;
    return table;
}

constexpr std::array<std::uint32_t, 256> kGroup0 = GroupTable(18), kGroup1 = GroupTable(12),
                                         kGroup2 = GroupTable(6), kGroup3 = GroupTable(0);

constexpr std::uint8_t kNotHex = 0xff;

constexpr std::array<std::uint8_t, 256> kHexValue = [] {
    std::array<std::uint8_t, 256> value{};
    value.fill(kNotHex);
    for (std::uint8_t i = 0; i < 10; ++i) value['0' + i] = i;
    for (std::uint8_t i = 0; i < 6; ++i) value['A' + i] = value['a' + i] = static_cast<std::uint8_t>(10 + i);
    return value;
}();

void PutThree(std::uint32_t bits, unsigned char*& out)
{
    out[0] = static_cast<unsigned char>(bits >> 16);
    out[1] = static_cast<unsigned char>(bits >> 8);
    out[2] = static_cast<unsigned char>(bits);
    out += 3;
}

/// The same three bytes with one store of four: the fourth is overwritten by what follows
/// or lies in the slack MaxOutput leaves.
[[gnu::always_inline]] inline void PutThreeOfFour(std::uint32_t bits, unsigned char*& out)
{
    const std::uint32_t bigEndian = __builtin_bswap32(bits << 8);
    std::memcpy(out, &bigEndian, 4);
    out += 3;
}

/// The line end at `in` that a group may be followed by, skipped; `in` when there is none.
const unsigned char* SkipLineEnd(const unsigned char* in, const unsigned char* end)
{
    if (in[0] == '\n') return in + 1;
    return in[0] == '\r' && end - in >= 2 && in[1] == '\n' ? in + 2 : in;
}

/// An escape's octet for "=XY", nothing for a soft line break "=\r\n", and the three bytes as
/// they are for anything else.
[[gnu::always_inline]] inline void PutEscape(unsigned char first, unsigned char second, unsigned char*& out)
{
    const std::uint8_t high = kHexValue[first], low = kHexValue[second];
    if ((high | low) < 16) {
        *out++ = static_cast<unsigned char>(high << 4 | low);
    } else if (first != '\r' || second != '\n') {
        out[0] = '=';
        out[1] = first;
        out[2] = second;
        out += 3;
    }
}

// The helpers of the loops below are inlined into them, so that the output position they
// move stays in a register.

/// Copies sixteen bytes at a time while no '=' is among them (SSE2, which every x86-64 has);
/// stops at the '=' or before the last fifteen bytes.
[[gnu::always_inline]] inline const unsigned char* CopySixteens(const unsigned char* in,
                                                                const unsigned char* end, unsigned char*& out)
{
#if defined(__SSE2__)
    const __m128i equalsSigns = _mm_set1_epi8('=');
    for (; end - in >= 16; in += 16, out += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);  // what follows an '=' is overwritten later
        if (const int found = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, equalsSigns))) {
            const int before = __builtin_ctz(static_cast<unsigned>(found));
            out += before;
            return in + before;
        }
    }
#endif
    return in;
}

/// The same eight bytes at a time in a 64-bit word, then byte by byte.
[[gnu::always_inline]] inline const unsigned char* CopyEights(const unsigned char* in,
                                                              const unsigned char* end, unsigned char*& out)
{
    static_assert(std::endian::native == std::endian::little, "the lowest byte of a word is the first");
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHighs = 0x8080808080808080;
    for (; end - in >= 8; in += 8, out += 8) {
        std::uint64_t word;
        std::memcpy(&word, in, 8);
        std::memcpy(out, &word, 8);  // what follows an '=' among them is overwritten later
        const std::uint64_t equals = word ^ ('=' * kOnes);
        if (const std::uint64_t found = (equals - kOnes) & ~equals & kHighs) {
            const int before = __builtin_ctzll(found) / 8;
            out += before;
            return in + before;
        }
    }
    while (in < end && *in != '=') *out++ = *in++;
    return in;
}

/// Copies the bytes up to the next '=' as they are; returns where it stopped.
[[gnu::always_inline]] inline const unsigned char* CopyUpToEquals(const unsigned char* in,
                                                                  const unsigned char* end,
                                                                  unsigned char*& out)
{
    in = CopySixteens(in, end, out);
    return in < end && *in == '=' ? in : CopyEights(in, end, out);
}

}  // namespace

std::size_t Base64Decoder::Step(const unsigned char* in, std::size_t size, unsigned char* out)
{
    unsigned char* const start = out;
    const unsigned char* const end = in + size;
    while (in < end && !ended_) {
        if (count_ == 0) in = DecodeGroups(in, end, out);
        // The groups stopped at a byte outside the alphabet, at '=' or at the end.
        if (in < end) Feed(*in++, out);
    }
    return static_cast<std::size_t>(out - start);
}

/// The common case at the start of a group: four characters of the alphabet give three bytes,
/// one test per group, and line ends between groups are skipped; stops before anything else.
const unsigned char* Base64Decoder::DecodeGroups(const unsigned char* in, const unsigned char* end,
                                                 unsigned char*& out)
{
    unsigned char* to = out;  // in a register, as the bytes written cannot alias it
    while (end - in >= 4) {
        const std::uint32_t bits = kGroup0[in[0]] | kGroup1[in[1]] | kGroup2[in[2]] | kGroup3[in[3]];
        if (bits & kNotInGroup) {
            const unsigned char* const next = SkipLineEnd(in, end);
            if (next == in) break;
            in = next;
            continue;
        }
        PutThreeOfFour(bits, to);
        in += 4;
    }
    out = to;
    return in;
}

void Base64Decoder::Feed(unsigned char c, unsigned char*& out)
{
    if (c == '=') return EndAtPadding(out);
    const std::uint8_t value = kBase64Value[c];
    if (value & kNotBase64) return;
    bits_ = bits_ << 6 | value;
    if (++count_ < 4) return;
    PutThree(bits_, out);
    count_ = 0;
}

void Base64Decoder::EndAtPadding(unsigned char*& out)
{
    if (count_ == 2) {
        *out++ = static_cast<unsigned char>(bits_ >> 4);
    } else if (count_ == 3) {
        *out++ = static_cast<unsigned char>(bits_ >> 10);
        *out++ = static_cast<unsigned char>(bits_ >> 2);
    }
    ended_ = true;
}

std::size_t QuotedPrintableDecoder::Step(const unsigned char* in, std::size_t size, unsigned char* out)
{
    unsigned char* const start = out;
    const unsigned char* const end = in + size;
    while (in < end) {
        if (state_ == State::Text)
            in = DecodeText(in, end, out);
        else
            Feed(*in++, out);
    }
    return static_cast<std::size_t>(out - start);
}

/// Runs of text and the escapes between them, each escape at once while its three bytes are
/// in the chunk; one cut short by the end of the chunk is left to the byte by byte states.
const unsigned char* QuotedPrintableDecoder::DecodeText(const unsigned char* in, const unsigned char* end,
                                                        unsigned char*& out)
{
    // A local copy, which the bytes written cannot alias, stays in a register.
    unsigned char* to = out;
    for (;;) {
        // An escape right after an escape (the bytes of a letter outside ASCII) needs no scan,
        // and an octet in hex, the most common escape, is decoded before any other test.
        if (*in != '=') in = CopyUpToEquals(in, end, to);
        if (end - in < 3) break;
        const std::uint8_t high = kHexValue[in[1]], low = kHexValue[in[2]];
        if ((high | low) < 16) {
            *to++ = static_cast<unsigned char>(high << 4 | low);
            in += 3;
        } else if (in[1] == '\n') {
            in += 2;  // soft line break
        } else {
            PutEscape(in[1], in[2], to);
            in += 3;
        }
        if (in == end) break;
    }
    out = to;
    if (in == end) return end;
    state_ = State::AfterEquals;
    return in + 1;
}

void QuotedPrintableDecoder::Feed(unsigned char c, unsigned char*& out)
{
    if (state_ == State::AfterFirst) {
        state_ = State::Text;
        return PutEscape(first_, c, out);
    }
    if (c == '\n') {
        state_ = State::Text;  // soft line break
        return;
    }
    first_ = c;
    state_ = State::AfterFirst;
}

namespace {

/// Large enough to make the calls few, small enough that the buffers come from the heap
/// rather than from a mapping of their own for every part.
constexpr std::size_t kChunkSize = 64 * 1024;

std::size_t ChunkSizeFor(GMimeStream* encoded)
{
    const gint64 length = g_mime_stream_length(encoded);
    if (length < 0 || static_cast<std::uint64_t>(length) >= kChunkSize) return kChunkSize;
    return static_cast<std::size_t>(length) + 1;  // one byte more, so the end is seen at once
}

template <class Decoder>
bool DecodeWith(GMimeStream* encoded, const DecodedChunkSink& take)
{
    const std::size_t chunk = ChunkSizeFor(encoded);
    const auto in = std::make_unique_for_overwrite<unsigned char[]>(chunk);
    const auto decoded = std::make_unique_for_overwrite<unsigned char[]>(Decoder::MaxOutput(chunk));
    Decoder decoder;
    while (!g_mime_stream_eos(encoded)) {
        const ssize_t n = g_mime_stream_read(encoded, reinterpret_cast<char*>(in.get()), chunk);
        if (n < 0) return false;
        if (n == 0) break;
        const std::size_t size = decoder.Step(in.get(), static_cast<std::size_t>(n), decoded.get());
        if (size > 0 && !take(decoded.get(), size)) return false;
    }
    return true;
}

bool WriteAll(GMimeStream* out, const unsigned char* data, std::size_t size)
{
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = g_mime_stream_write(out, reinterpret_cast<const char*>(data) + done, size - done);
        if (n < 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool DecodesItself(GMimeContentEncoding encoding)
{
    return encoding == GMIME_CONTENT_ENCODING_BASE64 || encoding == GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE;
}

bool DecodeStream(GMimeStream* encoded, GMimeContentEncoding encoding, const DecodedChunkSink& take)
{
    // As GMime's own writer: from the start of the stream's bounds, and left at its start.
    g_mime_stream_reset(encoded);
    const bool decoded = encoding == GMIME_CONTENT_ENCODING_BASE64
                             ? DecodeWith<Base64Decoder>(encoded, take)
                             : DecodeWith<QuotedPrintableDecoder>(encoded, take);
    g_mime_stream_reset(encoded);
    return decoded;
}

bool WriteDecodedStream(GMimeStream* encoded, GMimeContentEncoding encoding, GMimeStream* out)
{
    return DecodeStream(encoded, encoding, [out](const unsigned char* data, std::size_t size) {
        return WriteAll(out, data, size);
    });
}

}  // namespace outlook
