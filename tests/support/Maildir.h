#pragma once
// Builds Maildir stores for tests: folders with cur/new/tmp and message files with proper
// Maildir names and flags, plus message texts for the kinds of items the system meets.
//
//   test::MaildirBuilder store(dir.Path());
//   store.Add("Inbox/Projects", test::SimpleMessage({.subject = "Plan"}));

#include <filesystem>
#include <string>
#include <vector>

namespace test {

enum class MaildirLayout {
    Nested,          ///< every folder a directory inside its parent ("Inbox/Projects")
    MaildirPlusPlus  ///< ".Inbox.Projects" beside the root; the root's own messages are the Inbox
};

class MaildirBuilder {
public:
    explicit MaildirBuilder(std::filesystem::path root, MaildirLayout layout = MaildirLayout::Nested);

    const std::filesystem::path& Root() const { return root_; }
    /// Creates the folder (and its parents) with cur/, new/ and tmp/; returns its directory.
    /// "" is the store's root; in the Maildir++ layout "Inbox" is the root too.
    std::filesystem::path Folder(const std::string& relPath);
    /// Writes a message into the folder: into cur/ with ":2,<flags>" (flags "S" = read),
    /// or into new/ without flags when `inNew`. Names sort in the order of the calls.
    /// Returns the file's path.
    std::filesystem::path Add(const std::string& relPath, const std::string& text, const std::string& flags = "S",
                              bool inNew = false);
    /// The message files of a folder (cur/ and new/), sorted by name.
    std::vector<std::filesystem::path> Files(const std::string& relPath) const;
    /// The directory of a folder in the store's layout.
    std::filesystem::path Dir(const std::string& relPath) const;

private:
    std::filesystem::path root_;
    MaildirLayout layout_;
    unsigned counter_ = 0;
};

/// A file attached to a test message.
struct TestAttachment {
    std::string fileName;  ///< written as given (RFC 2231 encoded when not ASCII)
    std::string content;
    std::string contentType = "application/octet-stream";
};

struct TestMessage {
    std::string from = "Ann Sender <ann@example.com>";
    std::string to = "Bob Receiver <bob@example.com>";
    std::string cc;
    std::string subject = "Test message";
    std::string date = "Mon, 03 Jun 2024 14:05:00 +0000";
    std::string body = "Hello.\n";
    std::string html;  ///< with `body`, a multipart/alternative
    std::vector<TestAttachment> attachments;
    std::vector<std::string> attachedMessages;  ///< whole message texts, as message/rfc822 parts
    std::vector<std::string> extraHeaders;      ///< full lines without line end ("X-Unsent: 1")
};

/// The message as RFC 822 text with LF line ends.
std::string MessageText(const TestMessage& message);
std::string SimpleMessage(const std::string& subject, const std::string& body = "Hello.\n");
/// A news post: a Newsgroups header and neither To nor Cc.
std::string PostMessage(const std::string& subject);
/// A delivery status report (multipart/report) about a message that could not be delivered.
std::string DeliveryReport(const std::string& subject);
/// A meeting request: a text/calendar part with METHOD:REQUEST.
std::string MeetingRequest(const std::string& subject);

}  // namespace test
