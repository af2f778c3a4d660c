// Exporting and saving the attachments of every real-world message of the shared corpora:
// every attachment that GMime finds in a message is written once, with its decoded bytes.

#include <fcntl.h>
#include <gmime/gmime.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/outlook/GLibPtr.h"
#include "tests/engine/ActionFixture.h"

namespace fs = std::filesystem;

namespace {

/// What GMime finds in a message file: the decoded bytes of its attached files and the
/// number of its attached e-mails.
struct FoundAttachments {
    std::vector<std::string> files;
    int messages = 0;
    std::size_t Total() const { return files.size() + static_cast<std::size_t>(messages); }
};

std::string DecodedBytes(GMimePart* part)
{
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (!content) return {};
    auto stream = GObjectPtr<GMimeStream>::Adopt(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(content, stream.get());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream.get()));
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

void Collect(GMimeObject* object, FoundAttachments& found)
{
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i) {
            Collect(g_mime_multipart_get_part(multipart, i), found);
        }
        return;
    }
    GMimeContentType* type = g_mime_object_get_content_type(object);
    if (GMIME_IS_MESSAGE_PART(object)) {
        if (!g_mime_content_type_is_type(type, "message", "delivery-status")) ++found.messages;
        return;
    }
    if (!GMIME_IS_PART(object)) return;
    GMimeContentDisposition* disposition = g_mime_object_get_content_disposition(object);
    const char* name = g_mime_part_get_filename(GMIME_PART(object));
    if ((disposition && g_mime_content_disposition_is_attachment(disposition)) || (name && *name)) {
        found.files.push_back(DecodedBytes(GMIME_PART(object)));
    }
}

FoundAttachments AttachmentsOfFile(const fs::path& file)
{
    g_mime_init();
    FoundAttachments found;
    auto stream = GObjectPtr<GMimeStream>::Adopt(g_mime_stream_fs_open(file.c_str(), O_RDONLY, 0, nullptr));
    if (!stream) return found;
    auto parser = GObjectPtr<GMimeParser>::Adopt(g_mime_parser_new_with_stream(stream.get()));
    auto message = GObjectPtr<GMimeMessage>::Adopt(g_mime_parser_construct_message(parser.get(), nullptr));
    if (message) Collect(g_mime_message_get_mime_part(message.get()), found);
    return found;
}

/// Checks that `dir` holds one file per attachment found and a file with the bytes of each
/// attached file; returns a description of what is wrong, empty when all is right.
std::string Compare(const fs::path& dir, const FoundAttachments& found)
{
    std::vector<std::string> written;
    if (fs::exists(dir)) {
        for (const auto& e : fs::directory_iterator(dir)) {
            if (e.is_regular_file()) written.push_back(test::ReadFile(e.path()));
        }
    }
    if (written.size() != found.Total()) {
        return std::to_string(written.size()) + " files for " + std::to_string(found.Total()) +
               " attachments";
    }
    for (const std::string& bytes : found.files) {
        const auto it = std::find(written.begin(), written.end(), bytes);
        if (it == written.end())
            return "an attachment of " + std::to_string(bytes.size()) + " bytes is missing";
        written.erase(it);
    }
    return {};
}

bool IsMessageFile(const fs::path& path)
{
    const std::string ext = path.extension().string();
    return fs::is_regular_file(path) && ext != ".md" && ext != ".msg" && path.filename().string()[0] != '.';
}

class ActionsCorporaTest : public test::ActionTest {};

TEST_F(ActionsCorporaTest, EveryAttachmentIsWrittenOnceWithItsDecodedBytes)
{
    const fs::path corpora = test::CorporaDir();
    if (!fs::exists(corpora)) GTEST_SKIP() << "no corpora at " << corpora;
    for (const auto& entry : fs::recursive_directory_iterator(corpora)) {
        if (IsMessageFile(entry.path())) AddMessage(test::ReadFile(entry.path()));
    }
    const std::vector<fs::path> files = store.Builder().Files("Inbox");
    store.Open();
    engine.SetApplication(store.Application());
    const auto inbox = store.Folder("Inbox");
    const auto items = inbox->Items();
    ASSERT_EQ(items->Count(), messages);
    engine.EnterFolder(inbox, messages);

    TOptions_SaveAttachments save;
    save.Mask = "[FE]";
    TOptions_ExportEmails exp;
    exp.Mask = "mail";
    int withAttachments = 0;
    for (int i = 1; i <= messages; ++i) {
        const FoundAttachments found = AttachmentsOfFile(files[static_cast<std::size_t>(i - 1)]);
        withAttachments += found.Total() > 0;
        const fs::path saveDir = out.Path() / "save" / std::to_string(i);
        const fs::path exportDir = out.Path() / "export" / std::to_string(i);
        save.DestPath = saveDir.string();
        exp.DestPath = exportDir.string();
        try {
            const auto item = items->Item(i);
            const auto safeItem = engine.CreateSafeItem(item, item->Class());
            engine.ReadItemInfo(safeItem, safeItem->Recipients());
            engine.SaveAttachments(safeItem, save);
            for (const std::uint8_t format : {0, 2, 3}) {
                exp.SaveFormat = format;
                exp.AlsoAttachments = format == 3;
                engine.ExportEmail(safeItem, safeItem->Recipients(), exp);
            }
        } catch (const std::exception& e) {
            ADD_FAILURE() << files[static_cast<std::size_t>(i - 1)] << ": " << e.what();
            continue;
        }
        const std::string name = files[static_cast<std::size_t>(i - 1)].filename().string();
        EXPECT_EQ(Compare(saveDir, found), "") << "saved from " << name;
        EXPECT_EQ(Compare(exportDir / "mail-Attachments", found), "") << "exported with " << name;
        for (const char* ext : {".txt", ".htm", ".eml"})
            EXPECT_TRUE(fs::exists(exportDir / ("mail" + std::string(ext))));
        fs::remove_all(saveDir);
        fs::remove_all(exportDir);
    }
    EXPECT_GT(messages, 300);
    EXPECT_GT(withAttachments, 20);
    EXPECT_EQ(engine.FEmailsExported, 3 * messages);
}

}  // namespace
