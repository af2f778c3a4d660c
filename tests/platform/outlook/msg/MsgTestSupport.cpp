#include "tests/platform/outlook/msg/MsgTestSupport.h"

#include "platform/outlook/msg/MsgMimeImport.h"

#include <cstdlib>
#include <sstream>

namespace msgtest {

namespace {

std::string FileKey(const msgfile::MsgAttachment& a)
{
    const std::string data = a.part ? msgfile::DecodedPartBytes(a.part.get()) : a.data;
    return a.fileName + "=" + std::to_string(data.size()) + ":" +
           TakeString(g_compute_checksum_for_data(G_CHECKSUM_SHA1,
                                                  reinterpret_cast<const guchar*>(data.data()), data.size()));
}

std::string LfOnly(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') out.push_back(text[i]);
    }
    return out;
}

Summary FromModel(const msgfile::MsgMessage& m)
{
    Summary s;
    s.subject = m.subject;
    s.body = LfOnly(m.body);
    s.html = LfOnly(m.htmlBody);
    static const char* const kTypes[] = {"", "To:", "Cc:", "Bcc:"};
    for (const auto& r : m.recipients) s.recipients.push_back(kTypes[static_cast<int>(r.type)] + r.address);
    for (const auto& a : m.attachments) {
        if (a.embedded)
            s.attached.push_back(FromModel(*a.embedded));
        else
            s.files.push_back(FileKey(a));
    }
    return s;
}

}  // namespace

GObjectPtr<GMimeMessage> ParseMessage(const std::string& text)
{
    g_mime_init();
    auto stream = GObjectPtr<GMimeStream>::Adopt(g_mime_stream_mem_new_with_buffer(text.data(), text.size()));
    auto parser = GObjectPtr<GMimeParser>::Adopt(g_mime_parser_new_with_stream(stream.get()));
    return GObjectPtr<GMimeMessage>::Adopt(g_mime_parser_construct_message(parser.get(), nullptr));
}

GObjectPtr<GMimeMessage> ParseMessageFile(const std::filesystem::path& path)
{
    g_mime_init();
    auto stream = GObjectPtr<GMimeStream>::Adopt(g_mime_stream_file_open(path.c_str(), "rb", nullptr));
    if (!stream) return {};
    auto parser = GObjectPtr<GMimeParser>::Adopt(g_mime_parser_new_with_stream(stream.get()));
    return GObjectPtr<GMimeMessage>::Adopt(g_mime_parser_construct_message(parser.get(), nullptr));
}

Summary Summarize(GMimeMessage* message)
{
    return FromModel(msgfile::ImportMimeMessage(message));
}

std::string NormalizeText(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') continue;
        out.push_back(text[i]);
    }
    while (!out.empty() && g_ascii_isspace(out.back())) out.pop_back();
    return out;
}

std::ostream& operator<<(std::ostream& out, const Summary& s)
{
    out << "{subject=" << s.subject << " body=" << s.body.size() << "B html=" << s.html.size() << "B rcpt=[";
    for (const auto& r : s.recipients) out << r << ",";
    out << "] files=[";
    for (const auto& f : s.files) out << f << ",";
    out << "] attached=[";
    for (const auto& a : s.attached) out << a << ",";
    return out << "]}";
}

bool RunMsgConvert(const std::vector<std::filesystem::path>& files)
{
    if (files.empty()) return true;
    // msgconvert writes <name>.eml into the current folder.
    std::string command = "cd '" + files.front().parent_path().string() + "' && msgconvert";
    for (const auto& f : files) command += " '" + f.string() + "'";
    command += " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

}  // namespace msgtest
