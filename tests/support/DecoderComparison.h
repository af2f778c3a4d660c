#pragma once
// Our base64 and quoted-printable decoders side by side with GMime's: the same input cut into
// the same chunks through both, and every leaf part of a message decoded by GMime's writer and
// by ours. Shared by the unit tests and the message fuzz target.

#include <gmime/gmime.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/outlook/ContentDecoder.h"
#include "platform/outlook/Mime.h"
#include "platform/outlook/msg/MsgMimeImport.h"

namespace test {

/// Offsets at which `size` bytes are cut into chunks, from a seed: runs of 1 to 8 bytes at
/// times, so that cuts fall inside escapes and groups, and longer runs between.
inline std::vector<std::size_t> RandomCuts(std::size_t size, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<std::size_t> cuts;
    for (std::size_t at = 0; at < size;) {
        const std::size_t longest = random() % 4 == 0 ? 8 : 300;
        at += 1 + random() % longest;
        if (at < size) cuts.push_back(at);
    }
    return cuts;
}

/// `encoded` decoded chunk by chunk with GMime's step function.
inline std::string GMimeDecoded(GMimeContentEncoding encoding, std::string_view encoded,
                                const std::vector<std::size_t>& cuts)
{
    std::string decoded(encoded.size() + 8, '\0');
    auto* const out = reinterpret_cast<unsigned char*>(decoded.data());
    const auto* const in = reinterpret_cast<const unsigned char*>(encoded.data());
    int state = 0;
    guint32 save = 0;
    std::size_t done = 0, from = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const std::size_t to = i < cuts.size() ? cuts[i] : encoded.size();
        done += encoding == GMIME_CONTENT_ENCODING_BASE64
                    ? g_mime_encoding_base64_decode_step(in + from, to - from, out + done, &state, &save)
                    : g_mime_encoding_quoted_decode_step(in + from, to - from, out + done, &state, &save);
        from = to;
    }
    decoded.resize(done);
    return decoded;
}

template <class Decoder>
std::string OurDecoded(std::string_view encoded, const std::vector<std::size_t>& cuts)
{
    std::string decoded(Decoder::MaxOutput(encoded.size()), '\0');
    auto* const out = reinterpret_cast<unsigned char*>(decoded.data());
    const auto* const in = reinterpret_cast<const unsigned char*>(encoded.data());
    Decoder decoder;
    std::size_t done = 0, from = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const std::size_t to = i < cuts.size() ? cuts[i] : encoded.size();
        done += decoder.Step(in + from, to - from, out + done);
        from = to;
    }
    decoded.resize(done);
    return decoded;
}

/// `encoded` decoded chunk by chunk with our decoder of `encoding`.
inline std::string OurDecoded(GMimeContentEncoding encoding, std::string_view encoded,
                              const std::vector<std::size_t>& cuts)
{
    return encoding == GMIME_CONTENT_ENCODING_BASE64
               ? OurDecoded<outlook::Base64Decoder>(encoded, cuts)
               : OurDecoded<outlook::QuotedPrintableDecoder>(encoded, cuts);
}

/// Whether both decoders give the same bytes for `encoded` cut at `cuts`, in both encodings.
inline bool DecodersAgree(std::string_view encoded, const std::vector<std::size_t>& cuts)
{
    for (const auto encoding : {GMIME_CONTENT_ENCODING_BASE64, GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE})
        if (GMimeDecoded(encoding, encoded, cuts) != OurDecoded(encoding, encoded, cuts)) return false;
    return true;
}

/// A leaf part's content as GMime's data wrapper writes it.
inline std::string GMimeWrapperContent(GMimeObject* part)
{
    GMimeDataWrapper* content = GMIME_IS_PART(part) ? g_mime_part_get_content(GMIME_PART(part)) : nullptr;
    if (!content) return {};
    auto stream = GObjectPtr<GMimeStream>::Adopt(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(content, stream.get());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream.get()));
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

/// How many leaf parts of `message` our content differs in from GMime's, as the object model
/// reads it and as the .msg writer does; `parts` counts the parts compared.
inline int PartsDecodedOtherwise(GMimeMessage* message, int& parts)
{
    struct Tally {
        int differing = 0, compared = 0;
    } tally;
    g_mime_message_foreach(
        message,
        [](GMimeObject*, GMimeObject* part, gpointer data) {
            if (!GMIME_IS_PART(part)) return;
            auto& t = *static_cast<Tally*>(data);
            ++t.compared;
            const std::string reference = GMimeWrapperContent(part);
            if (outlook::PartContent(part) != reference ||
                msgfile::DecodedPartBytes(GMIME_PART(part)) != reference)
                ++t.differing;
        },
        &tally);
    parts += tally.compared;
    return tally.differing;
}

}  // namespace test
