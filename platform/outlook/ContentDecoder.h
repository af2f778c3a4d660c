#pragma once
// Decoders of the base64 and quoted-printable content transfer encodings, faster than GMime's
// and giving the very bytes GMime's decoders give for every input, well-formed or not, however
// the input is cut into chunks (each decoder carries its state from one chunk to the next).

#include <gmime/gmime.h>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace outlook {

/// Base64 as GMime decodes it: characters outside the alphabet are skipped, the first '='
/// ends the content (a partial group before it gives its whole bytes), nothing after it counts,
/// and a partial group at the end of the input gives nothing.
class Base64Decoder {
public:
    /// The most bytes one Step over `inputSize` bytes writes.
    static constexpr std::size_t MaxOutput(std::size_t inputSize) { return inputSize / 4 * 3 + 6; }

    /// Decodes the next `size` bytes of the content into `out`; how many bytes it wrote.
    std::size_t Step(const unsigned char* in, std::size_t size, unsigned char* out);

private:
    const unsigned char* DecodeGroups(const unsigned char* in, const unsigned char* end, unsigned char*& out);
    void Feed(unsigned char c, unsigned char*& out);
    void EndAtPadding(unsigned char*& out);

    std::uint32_t bits_ = 0;
    int count_ = 0;  // characters of the current group of four
    bool ended_ = false;
};

/// Quoted-printable as GMime decodes it: "=" and two hex digits give their octet, "=\n" and
/// "=\r\n" are soft line breaks, any other "=" with the two bytes after it is kept as it is,
/// and an escape cut short by the end of the input gives nothing.
class QuotedPrintableDecoder {
public:
    /// The most bytes one Step over `inputSize` bytes writes (some of them slack).
    static constexpr std::size_t MaxOutput(std::size_t inputSize) { return inputSize + 8; }

    std::size_t Step(const unsigned char* in, std::size_t size, unsigned char* out);

private:
    enum class State { Text, AfterEquals, AfterFirst };

    const unsigned char* DecodeText(const unsigned char* in, const unsigned char* end, unsigned char*& out);
    void Feed(unsigned char c, unsigned char*& out);

    State state_ = State::Text;
    unsigned char first_ = 0;  // the byte after '=' while the escape waits for its second byte
};

/// Whether DecodeStream decodes `encoding` (else GMime's filters do).
bool DecodesItself(GMimeContentEncoding encoding);

/// Takes decoded bytes as they come; false stops the decoding.
using DecodedChunkSink = std::function<bool(const unsigned char* bytes, std::size_t size)>;

/// The content of `encoded` (read from the start of its bounds to their end, in chunks)
/// decoded from `encoding` (one DecodesItself accepts) and given to `take` piece by piece;
/// false when a read failed or `take` returned false.
bool DecodeStream(GMimeStream* encoded, GMimeContentEncoding encoding, const DecodedChunkSink& take);

/// The same decoded content written to `out`; false when a read or write failed.
bool WriteDecodedStream(GMimeStream* encoded, GMimeContentEncoding encoding, GMimeStream* out);

}  // namespace outlook
