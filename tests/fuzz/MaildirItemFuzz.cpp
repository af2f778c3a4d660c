// A message file from a stranger as an item of a Maildir folder: every property read, every
// recipient, every attachment saved to a file and the item saved in every save format. What the
// object model refuses it refuses with an exception of the system, never with a crash. Our
// base64 and quoted-printable decoders give GMime's bytes for the input taken as encoded text
// (cut into chunks where the input's hash says) and for every part of it.

#include "platform/outlook/Application.h"
#include "platform/outlook/Mime.h"
#include "platform/runtime/Exception.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/support/DecoderComparison.h"
#include "tests/support/Maildir.h"

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

using namespace outlook;

void ReadProperties(IOutlookItem& item)
{
    item.Class();
    item.Subject();
    item.SenderName();
    item.SenderEmailAddress();
    item.TransportHeaders();
    item.Body();
    item.HTMLBody();
    item.Sent();
    item.SentOn();
    item.ReceivedTime();
    item.CreationTime();
    item.Unread();
}

void ReadRecipients(IOutlookItem& item)
{
    const auto recipients = item.Recipients();
    for (int i = 1; i <= recipients->Count(); ++i) {
        const auto recipient = recipients->Item(i);
        recipient->Name();
        recipient->Address();
        recipient->Type();
        if (const auto entry = recipient->AddressEntry()) {
            entry->Name();
            entry->Address();
        }
    }
}

/// Each step on its own: a refused attachment or format must not hide what the others do.
template <class Step>
void Try(Step step)
{
    try {
        step();
    } catch (const Exception&) {
    }
}

void SaveAttachments(IOutlookItem& item, const std::filesystem::path& out)
{
    const auto attachments = item.Attachments();
    for (int i = 1; i <= attachments->Count(); ++i) {
        const auto attachment = attachments->Item(i);
        attachment->Filename();
        attachment->DisplayName();
        attachment->Type();
        Try([&] { attachment->SaveAsFile((out / ("att" + std::to_string(i))).string()); });
    }
}

void SaveInEveryFormat(IOutlookItem& item, const std::filesystem::path& out)
{
    for (const int type : {olTXT, olMSG, olHTML, olRFC822})
        Try([&] { item.SaveAs((out / ("saved" + std::to_string(type))).string(), type); });
}

void Inspect(IOutlookItem& item, const std::filesystem::path& out)
{
    Try([&] { ReadProperties(item); });
    Try([&] { ReadRecipients(item); });
    Try([&] { SaveAttachments(item, out); });
    SaveInEveryFormat(item, out);
}

void CompareDecoders(std::string_view bytes)
{
    const auto seed = static_cast<std::uint32_t>(std::hash<std::string_view>{}(bytes));
    if (!test::DecodersAgree(bytes, test::RandomCuts(bytes.size(), seed))) std::abort();
    int parts = 0;
    if (test::PartsDecodedOtherwise(ParseMessage(bytes).get(), parts) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CompareDecoders(fuzz::Bytes(data, size));
    const auto root = fuzz::ScratchDir() / "Mail";
    const auto out = fuzz::ScratchDir() / "out";
    std::filesystem::remove_all(root);
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    test::MaildirBuilder(root).Add("Inbox", std::string(fuzz::Bytes(data, size)));

    ApplicationConfig config;
    config.stores.push_back({"Mailbox", root.string(), StoreLayout::Detect});
    const auto items =
        CreateApplication(config)->GetNamespace("MAPI")->GetDefaultFolder(olFolderInbox)->Items();
    for (int i = 1; i <= items->Count(); ++i) Inspect(*items->Item(i), out);
    return 0;
}
