#include "platform/qelutils/InboxItems.h"

#include <glib.h>

#include <fstream>

#include "platform/com/ComError.h"
#include "platform/outlook/GLibPtr.h"
#include "platform/outlook/Store.h"
#include "platform/outlook/StoreConfig.h"

namespace qelutils {
namespace {

/// The lines of `file` up to the first empty line; nullopt when it cannot be read.
std::optional<std::string> ReadHeaderBlock(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string block;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line == "\r") break;
        block += line;
        block += '\n';
    }
    return block;
}

}  // namespace

std::filesystem::path DefaultInboxDirectory()
{
    outlook::Store store(outlook::DefaultStoreConfig());
    const auto inbox = store.TopLevelFolder(outlook::kInbox);
    if (!inbox || inbox->Dir().empty()) throw ComError(E_FAIL, "The default store has no Inbox folder");
    return inbox->Dir();
}

std::string NormalizedHeaderBlock(std::string_view block)
{
    std::string result;
    result.reserve(block.size());
    for (char c : block)
        if (c != '\r') result += c;
    while (!result.empty() && result.back() == '\n') result.pop_back();
    // The item answers its headers as valid UTF-8; raw 8-bit bytes of old mailers must
    // compare equal to what it made of them.
    if (g_utf8_validate(result.data(), static_cast<gssize>(result.size()), nullptr)) return result;
    return TakeString(g_utf8_make_valid(result.data(), static_cast<gssize>(result.size())));
}

ComPtr<outlook::IOutlookItem> FindItemOfFile(outlook::IMAPIFolder& inbox, const std::filesystem::path& file)
{
    const auto block = ReadHeaderBlock(file);
    if (!block) return {};
    const std::string wanted = NormalizedHeaderBlock(*block);
    const auto items = inbox.Items();
    for (int i = items->Count(); i >= 1; --i) {
        auto item = items->Item(i);
        try {
            if (NormalizedHeaderBlock(item->TransportHeaders()) == wanted) return item;
        } catch (const ComError&) {
            // That item's file vanished under us; it is not the one sought.
        }
    }
    return {};
}

}  // namespace qelutils
