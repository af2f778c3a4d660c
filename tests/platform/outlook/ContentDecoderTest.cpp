// Our base64 and quoted-printable decoders give GMime's bytes for every input, cut anywhere,
// and a part's content is written as GMime writes it, from memory or from a large file.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <random>

#include "platform/outlook/MessageFiles.h"
#include "platform/outlook/Mime.h"
#include "tests/support/DecoderComparison.h"
#include "tests/support/TempDir.h"

using namespace outlook;

namespace {

/// Every cut into two chunks, and no cut.
void ExpectAgreeAtEveryCut(const std::string& encoded)
{
    EXPECT_TRUE(test::DecodersAgree(encoded, {})) << encoded;
    for (std::size_t cut = 1; cut < encoded.size(); ++cut)
        EXPECT_TRUE(test::DecodersAgree(encoded, {cut})) << encoded << " cut at " << cut;
}

TEST(ContentDecoderTest, MalformedInputDecodesAsGMimeDecodesIt)
{
    EnsureGMime();
    const char* const inputs[] = {
        // base64: padding missing, extra, early, data after it, stray bytes, groups split by lines
        "QUJD", "QQ==", "QQ=", "QQ", "Q", "QUI", "QUI=", "Q===", "====", "=QUJD", "QQ==QUJD", "QUJ=QUJD",
        "QQ== QUJD", "QU=JD", "QU*JD", "Q U\r\nJ\tD", "QUJDQUJD\r\nQUJD\nQU\r\nJD", "QUJD-_~\x80\xff",
        "QUJDRUZH\r\n=\r\n", "QUJ\r\nD=", "==QQ",
        // quoted-printable: soft breaks, bad and cut escapes, lower case, white space, bare CR
        "a=\r\nb", "a=\nb", "a=4", "a=", "a=\r", "=4=41", "=\r=41", "==41", "=\n=41", "=\r\n=41", "=\r\r",
        "=\rA", "=4g", "=g4", "=4a=4A=ff", "= 41", "=4\n1", "=\n\n", "=\r\n\r\n", "===41", "=\r=\n",
        "line  \r\nnext \t=\r\n", "=3D=3d=\r\n=20\r\n", "=\xff\xfe", "x=9", "=:;", "abc=\r\n=", "tail=\n="};
    for (const char* input : inputs) ExpectAgreeAtEveryCut(input);
}

/// Random text of the bytes each decoder finds hard, and some of any byte.
std::string RandomEncoded(std::mt19937& random)
{
    static const std::string tricky =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=====\r\n\r\n \t09afAFgG-_";
    std::string text(random() % 600, '\0');
    for (char& c : text)
        c = random() % 8 == 0 ? static_cast<char>(random()) : tricky[random() % tricky.size()];
    return text;
}

TEST(ContentDecoderTest, RandomInputCutAtRandomDecodesAsGMimeDecodesIt)
{
    EnsureGMime();
    std::mt19937 random(20);
    for (int i = 0; i < 5000; ++i) {
        const std::string encoded = RandomEncoded(random);
        const auto cuts = test::RandomCuts(encoded.size(), static_cast<std::uint32_t>(i));
        ASSERT_TRUE(test::DecodersAgree(encoded, cuts)) << "input " << i;
    }
}

/// Base64 of `size` random bytes in lines of 76, and quoted-printable of text with escapes.
std::string LargeMessage(std::size_t size)
{
    std::mt19937 random(7);
    std::string binary(size, '\0');
    for (char& c : binary) c = static_cast<char>(random());
    std::string qp;
    for (std::size_t i = 0; qp.size() < size; ++i)
        qp += "Caf=C3=A9 line " + std::to_string(i) + " =\r\n=3D\r\n";
    auto* encoded = g_base64_encode(reinterpret_cast<const guchar*>(binary.data()), binary.size());
    std::string base64;
    const std::string_view all(encoded);
    for (std::size_t at = 0; at < all.size(); at += 76) base64.append(all.substr(at, 76)).append("\r\n");
    g_free(encoded);
    return "Subject: large\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n"
           "--b\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: "
           "quoted-printable\r\n\r\n" +
           qp +
           "\r\n--b\r\nContent-Type: application/octet-stream\r\n"
           "Content-Disposition: attachment; filename=a.bin\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
           base64 +
           "--b\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: base64\r\n\r\nQUJD\r\n--b--\r\n";
}

TEST(ContentDecoderTest, PartsOfALargeFileDecodeAsGMimeDecodesThem)
{
    // Larger than what is parsed in memory: the parts are bounded streams into the file, read
    // in many chunks, each ending where the next boundary starts.
    test::TempDir dir;
    const auto path = dir.Path() / "large.eml";
    test::WriteFile(path, LargeMessage(std::size_t{3} << 20));
    const auto message = ParseMessageFd(OpenMessageFile(path.string()));
    int parts = 0;
    EXPECT_EQ(test::PartsDecodedOtherwise(message.get(), parts), 0);
    EXPECT_EQ(parts, 3);
    // Written to a file as an attachment is saved: the same bytes again.
    const auto attachments = AttachmentsOf(message.get());
    ASSERT_FALSE(attachments.empty());
    const int fd = ::open((dir.Path() / "saved").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_TRUE(WritePartContentTo(attachments.front().part.get(), fd));
    ::close(fd);
    EXPECT_EQ(test::ReadFile(dir.Path() / "saved"),
              test::GMimeWrapperContent(attachments.front().part.get()));
}

}  // namespace
