// Writing one attachment to disk: duplicates, overwrite, size check, length limit.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "engine/MaskExpansion.h"
#include "jobs/FileTools.h"
#include "platform/com/ComError.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exception.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/EngineProbe.h"

namespace fs = std::filesystem;

namespace {

/// An attachment whose save writes part of a file and then fails: the store never does this
/// on purpose, but a full disk does.
class BrokenAttachment final : public ComObject<outlook::IAttachment> {
public:
    std::string Filename() override { return "a.pdf"; }
    std::string DisplayName() override { return "a.pdf"; }
    int Type() override { return outlook::olByValue; }
    void SaveAsFile(const std::string& path) override
    {
        test::WriteFile(path, "part");
        throw ComError(E_FAIL, "No space left on device");
    }
    void Delete() override {}
};

std::set<std::string> Entries(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

class AttachmentFileTest : public ::testing::Test {
protected:
    /// An attachment of `size` bytes of a real stored message.
    ComPtr<outlook::IAttachment> Attachment(std::size_t size)
    {
        test::TestMessage m;
        m.attachments.push_back({"a.pdf", std::string(size, 'x')});
        store.Builder().Add("Inbox", test::MessageText(m));
        store.Open();
        return store.Folder("Inbox")->Items()->Item(1)->Attachments()->Item(1);
    }

    test::StoreFixture store;
    test::TempDir out;
    test::EngineProbe engine;
};

TEST_F(AttachmentFileTest, DuplicateNamesGetTheNextNumber)
{
    const auto att = Attachment(10);
    test::WriteFile(out / "a.pdf", "old");
    test::WriteFile(out / "a - 2.pdf", "old");
    const std::string saved = engine.SaveAttachmentFile(att, out.Path().string(), "a.pdf", 0, false, 0);
    EXPECT_EQ(saved, (out / "a - 3.pdf").string());
    EXPECT_EQ(test::ReadFile(saved), std::string(10, 'x'));
    EXPECT_EQ(test::ReadFile(out / "a.pdf"), "old");
}

TEST_F(AttachmentFileTest, OverwriteReplacesTheOldFileAndCreatesFolders)
{
    const auto att = Attachment(10);
    test::WriteFile(out / "sub/deeper/a.pdf", "old");
    const std::string dir = (out / "sub/deeper").string();
    EXPECT_EQ(engine.SaveAttachmentFile(att, dir, "a.pdf", 1, false, 0), dir + "/a.pdf");
    EXPECT_EQ(test::ReadFile(out / "sub/deeper/a.pdf"), std::string(10, 'x'));
    EXPECT_EQ(Entries(out / "sub/deeper"), std::set<std::string>{"a.pdf"});

    EXPECT_EQ(engine.SaveAttachmentFile(att, (out / "new/dir").string(), "b", 0, false, 0),
              (out / "new/dir/b").string());
}

TEST_F(AttachmentFileTest, AFailedOverwriteKeepsTheOldFile)
{
    const auto broken = MakeCom<BrokenAttachment>();
    test::WriteFile(out / "a.pdf", "old");
    EXPECT_EQ(engine.SaveAttachmentFile(broken, out.Path().string(), "a.pdf", 1, false, 0), "");
    EXPECT_EQ(test::ReadFile(out / "a.pdf"), "old");
    EXPECT_EQ(Entries(out.Path()), std::set<std::string>{"a.pdf"});

    EXPECT_EQ(engine.SaveAttachmentFile(broken, out.Path().string(), "a.pdf", 0, false, 0), "");
    EXPECT_EQ(Entries(out.Path()), std::set<std::string>{"a.pdf"}) << "no half-written a - 2.pdf";
}

TEST_F(AttachmentFileTest, SizeCheckAtTheKilobyteAndNoTemporaryFileLeft)
{
    const auto small = Attachment(1023);
    const auto temps = Entries(GetTempDir());
    EXPECT_EQ(engine.SaveAttachmentFile(small, out.Path().string(), "a.pdf", 0, true, 1), "");
    EXPECT_FALSE(fs::exists(out / "a.pdf"));
    EXPECT_EQ(Entries(GetTempDir()), temps);

    const auto broken = MakeCom<BrokenAttachment>();
    EXPECT_EQ(engine.SaveAttachmentFile(broken, out.Path().string(), "a.pdf", 0, true, 0), "");
    EXPECT_EQ(Entries(GetTempDir()), temps);
}

TEST_F(AttachmentFileTest, SizeCheckPassesAtExactlyOneKilobyte)
{
    const auto att = Attachment(1024);
    const auto temps = Entries(GetTempDir());
    engine.FItemDate = EncodeDate(2024, 6, 3) + EncodeTime(14, 5, 0, 0);
    const std::string saved = engine.SaveAttachmentFile(att, out.Path().string(), "a.pdf", 1, true, 1);
    EXPECT_EQ(saved, (out / "a.pdf").string());
    EXPECT_EQ(fs::file_size(saved), 1024u);
    EXPECT_EQ(Entries(GetTempDir()), temps);
    EXPECT_EQ(FormatDateTime("yyyymmddhhnn", DateTimeFromFileTime(
                                                  [&] {
                                                      struct stat st {};
                                                      ::stat(saved.c_str(), &st);
                                                      return st.st_mtim;
                                                  }())),
              "202406031405");
}

TEST_F(AttachmentFileTest, PathsOf260CharactersAreRefused)
{
    const auto att = Attachment(10);
    const std::string dir = (out / std::string(150, 'd')).string();
    const std::size_t room = 259 - dir.size() - 1;  // "dir/" + name of `room` chars = 259
    EXPECT_NE(engine.SaveAttachmentFile(att, dir, std::string(room - 4, 'n') + ".pdf", 0, false, 0), "");
    try {
        engine.SaveAttachmentFile(att, dir, std::string(room - 3, 'n') + ".pdf", 0, false, 0);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), PathTooLongMessage);
    }
}

TEST_F(AttachmentFileTest, NumberedNamesAreHeldToTheLengthLimit)
{
    const auto att = Attachment(10);
    const std::string dir = (out / std::string(150, 'd')).string();
    const std::size_t room = 259 - dir.size() - 1;
    const std::string name = std::string(room - 4, 'n') + ".pdf";  // the full path has 259 characters
    ASSERT_NE(engine.SaveAttachmentFile(att, dir, name, 0, false, 0), "");
    try {
        engine.SaveAttachmentFile(att, dir, name, 0, false, 0);
        FAIL() << "\" - 2\" took the path past the limit";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), PathTooLongMessage);
    }
    EXPECT_EQ(Entries(dir).size(), 1u);
    EXPECT_EQ(engine.SaveAttachmentFile(att, dir, name, 1, false, 0), dir + "/" + name) << "overwriting stays";
    EXPECT_EQ(Entries(dir).size(), 1u);
}

TEST_F(AttachmentFileTest, ANamePartOver255BytesIsShortenedAndItsNumberStillFits)
{
    const auto att = Attachment(10);
    std::string umlauts;
    for (int i = 0; i < 126; ++i) umlauts += "\u00FC";
    const std::string dir = out.Path().string();
    const std::string fits = umlauts.substr(0, 250) + ".pdf";  // 254 bytes, 129 characters
    EXPECT_EQ(engine.SaveAttachmentFile(att, dir, fits, 0, false, 0), dir + "/" + fits);
    const std::string numbered = umlauts.substr(0, 246) + " - 2.pdf";  // " - 2" takes two more umlauts
    EXPECT_EQ(engine.SaveAttachmentFile(att, dir, fits, 0, false, 0), dir + "/" + numbered);
    // One byte too long: shortened to the first name, which is taken, so numbered past both.
    EXPECT_EQ(engine.SaveAttachmentFile(att, dir, umlauts + ".pdf", 0, false, 0),
              dir + "/" + umlauts.substr(0, 246) + " - 3.pdf");
    EXPECT_EQ(Entries(out.Path()).size(), 3u);
}

TEST_F(AttachmentFileTest, OverwritingSkipsOnlyTheFilesOfThisRunThatItKeeps)
{
    const auto att = Attachment(10);
    const std::string dir = out.Path().string();
    test::WriteFile(out / "a.pdf", "old");
    test::WriteFile(out / "a - 3.pdf", "old");
    const auto save = [&](bool keepRunFiles) {
        return fs::path(engine.SaveAttachmentFile(att, dir, "a.pdf", 1, false, 0, keepRunFiles)).filename();
    };
    EXPECT_EQ(save(true), "a.pdf") << "a file from before the run is overwritten";
    EXPECT_EQ(save(true), "a - 2.pdf") << "this run's file is not";
    EXPECT_EQ(save(true), "a - 3.pdf");
    EXPECT_EQ(test::ReadFile(out / "a - 3.pdf"), std::string(10, 'x'));
    EXPECT_EQ(save(false), "a.pdf") << "files that stay in the e-mail overwrite as before";
    engine.ResetCounters();
    EXPECT_EQ(save(true), "a.pdf") << "the next run starts afresh";
    EXPECT_EQ(Entries(out.Path()), (std::set<std::string>{"a.pdf", "a - 2.pdf", "a - 3.pdf"}));
}

}  // namespace
