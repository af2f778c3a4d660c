#include "tests/support/Maildir.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <cstdio>
#include <stdexcept>

#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace test {

namespace {

const char* const kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::string& bytes)
{
    std::string out;
    std::size_t line = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0u;
        const auto b2 = i + 2 < bytes.size() ? static_cast<unsigned char>(bytes[i + 2]) : 0u;
        out += kBase64[b0 >> 2];
        out += kBase64[((b0 & 3) << 4) | (b1 >> 4)];
        out += i + 1 < bytes.size() ? kBase64[((b1 & 15) << 2) | (b2 >> 6)] : '=';
        out += i + 2 < bytes.size() ? kBase64[b2 & 63] : '=';
        if (++line == 19) {
            out += '\n';
            line = 0;
        }
    }
    if (out.empty() || out.back() != '\n') out += '\n';
    return out;
}

bool IsAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

/// filename="x" for ASCII names, RFC 2231 filename*=UTF-8''%.. otherwise.
std::string FileNameParameter(const std::string& name)
{
    if (IsAscii(name)) return "filename=\"" + name + "\"";
    std::string out = "filename*=UTF-8''";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '.' || c == '-' || c == '_') {
            out += c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            out += hex;
        }
    }
    return out;
}

std::string AttachmentPart(const TestAttachment& att)
{
    return "Content-Type: " + att.contentType + "\nContent-Disposition: attachment; " +
           FileNameParameter(att.fileName) + "\nContent-Transfer-Encoding: base64\n\n" + Base64(att.content);
}

std::string BodyPart(const TestMessage& m)
{
    if (m.html.empty()) return "Content-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: 8bit\n\n" + m.body;
    return "Content-Type: multipart/alternative; boundary=\"alt-boundary\"\n\n--alt-boundary\n"
           "Content-Type: text/plain; charset=utf-8\n\n" + m.body +
           "\n--alt-boundary\nContent-Type: text/html; charset=utf-8\n\n" + m.html + "\n--alt-boundary--\n";
}

std::string Headers(const TestMessage& m)
{
    std::string text;
    if (!m.from.empty()) text += "From: " + m.from + "\n";
    if (!m.to.empty()) text += "To: " + m.to + "\n";
    if (!m.cc.empty()) text += "Cc: " + m.cc + "\n";
    text += "Subject: " + m.subject + "\n";
    if (!m.date.empty()) text += "Date: " + m.date + "\n";
    text += "Message-ID: <" + std::to_string(std::hash<std::string>{}(m.subject + m.body)) + "@test.example>\n";
    for (const auto& line : m.extraHeaders) text += line + "\n";
    return text + "MIME-Version: 1.0\n";
}

}  // namespace

MaildirBuilder::MaildirBuilder(fs::path root, MaildirLayout layout) : root_(std::move(root)), layout_(layout)
{
    fs::create_directories(root_);
}

fs::path MaildirBuilder::Dir(const std::string& relPath) const
{
    if (relPath.empty()) return root_;
    if (layout_ == MaildirLayout::Nested) return root_ / relPath;
    if (relPath == "Inbox") return root_;
    std::string name = relPath;
    std::replace(name.begin(), name.end(), '/', '.');
    return root_ / ("." + name);
}

fs::path MaildirBuilder::Folder(const std::string& relPath)
{
    const fs::path dir = Dir(relPath);
    for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(dir / sub);
    return dir;
}

fs::path MaildirBuilder::Add(const std::string& relPath, const std::string& text, const std::string& flags, bool inNew)
{
    const fs::path dir = Folder(relPath);
    char unique[64];
    std::snprintf(unique, sizeof unique, "%lld.M%06uP4242Q1.testhost", 1717423500LL + counter_, counter_);
    ++counter_;
    const fs::path path = inNew ? dir / "new" / unique : dir / "cur" / (std::string(unique) + ":2," + flags);
    WriteFile(path, text);
    return path;
}

std::vector<fs::path> MaildirBuilder::Files(const std::string& relPath) const
{
    std::vector<fs::path> files;
    for (const char* sub : {"cur", "new"}) {
        std::error_code ec;
        for (fs::directory_iterator it(Dir(relPath) / sub, ec), end; !ec && it != end; it.increment(ec)) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    return files;
}

std::string MessageText(const TestMessage& m)
{
    if (m.attachments.empty() && m.attachedMessages.empty()) return Headers(m) + BodyPart(m);
    std::string text = Headers(m) + "Content-Type: multipart/mixed; boundary=\"mixed-boundary\"\n\n"
                                    "This is a multi-part message in MIME format.\n";
    text += "--mixed-boundary\n" + BodyPart(m) + "\n";
    for (const auto& att : m.attachments) text += "--mixed-boundary\n" + AttachmentPart(att) + "\n";
    for (const auto& inner : m.attachedMessages) {
        text += "--mixed-boundary\nContent-Type: message/rfc822\nContent-Disposition: attachment\n\n" + inner + "\n";
    }
    return text + "--mixed-boundary--\n";
}

std::string SimpleMessage(const std::string& subject, const std::string& body)
{
    TestMessage m;
    m.subject = subject;
    m.body = body;
    return MessageText(m);
}

std::string PostMessage(const std::string& subject)
{
    TestMessage m;
    m.subject = subject;
    m.to.clear();
    m.extraHeaders = {"Newsgroups: comp.mail.misc"};
    return MessageText(m);
}

std::string DeliveryReport(const std::string& subject)
{
    TestMessage m;
    m.from = "Mail Delivery System <MAILER-DAEMON@example.com>";
    m.subject = subject;
    std::string text = MessageText(m);
    text = text.substr(0, text.find("Content-Type:"));
    return text + "Content-Type: multipart/report; report-type=delivery-status; boundary=\"rep\"\n\n"
                  "--rep\nContent-Type: text/plain\n\nYour message could not be delivered.\n"
                  "--rep\nContent-Type: message/delivery-status\n\nReporting-MTA: dns; mail.example.com\n\n"
                  "Final-Recipient: rfc822; nobody@example.com\nAction: failed\nStatus: 5.1.1\n\n"
                  "--rep\nContent-Type: text/rfc822-headers\n\nSubject: Lost\n\n--rep--\n";
}

std::string MeetingRequest(const std::string& subject)
{
    TestMessage m;
    m.subject = subject;
    std::string text = MessageText(m);
    text = text.substr(0, text.find("Content-Type:"));
    return text + "Content-Type: multipart/alternative; boundary=\"cal\"\n\n"
                  "--cal\nContent-Type: text/plain; charset=utf-8\n\nPlease come.\n"
                  "--cal\nContent-Type: text/calendar; charset=utf-8; method=REQUEST\n\n"
                  "BEGIN:VCALENDAR\nMETHOD:REQUEST\nBEGIN:VEVENT\nSUMMARY:" + subject +
                  "\nDTSTART:20240610T090000Z\nEND:VEVENT\nEND:VCALENDAR\n--cal--\n";
}

}  // namespace test
