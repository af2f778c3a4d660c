// Item information (sender, first recipient, date, subject, message identifier, own and
// other side) and the filter of a manual job.

#include <optional>
#include <string_view>

#include "engine/EmailProcessor.h"
#include "engine/MAPIUtils.h"
#include "engine/MaskExpansion.h"
#include "jobs/MatchStr.h"
#include "platform/com/ComError.h"
#include "platform/runtime/Text.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

/// The subject without leading two-letter prefixes such as "RE:" and "FW:".
std::string RemoveSubjectPrefixes(std::string s)
{
    while (s.size() >= 3 && IsAsciiLetter(s[0]) && IsAsciiLetter(s[1]) && s[2] == ':') {
        s = Trim(std::string_view(s).substr(3));
    }
    return s;
}

/// The value of the first "Message-ID:" line of a header block, trimmed; "" when none.
/// Lines end at CR LF, CR or LF; folded continuation lines are not joined.
std::string FindMessageID(std::string_view headers)
{
    constexpr std::string_view kName = "MESSAGE-ID:";
    const auto isNameOf = [kName](std::string_view line) {
        if (line.size() < kName.size()) return false;
        for (std::size_t i = 0; i < kName.size(); ++i) {
            const char c = line[i];
            if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c) != kName[i]) return false;
        }
        return true;
    };
    const auto lineEnd = [](std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' || text[i] == '\n') return i;
        }
        return std::string_view::npos;
    };
    while (!headers.empty()) {
        const std::size_t end = lineEnd(headers);
        const std::string_view line = headers.substr(0, end);
        if (isNameOf(line)) return Trim(line.substr(kName.size()));
        if (end == std::string_view::npos) break;
        const std::size_t next = (headers[end] == '\r' && end + 1 < headers.size() && headers[end + 1] == '\n')
                                     ? end + 2
                                     : end + 1;
        headers.remove_prefix(next);
    }
    return {};
}

/// Runs `read` and gives its value, or `fallback` when it raises.
template <class T, class Read>
T Trapped(Read read, T fallback)
{
    try {
        return read();
    } catch (...) {
        return fallback;
    }
}

}  // namespace

bool MatchesAnyMask(const TStringList& List, const std::string& Value)
{
    std::optional<std::string> value;  // upper-cased once there is a mask to compare with
    for (const std::string& entry : List) {
        if (Trim(entry).empty()) continue;
        if (!value) value = UpperCase(Value);
        if (MatchWildcard(*value, UpperCase(entry))) return true;
    }
    return false;
}

bool PassesInclExcl(const std::string& Value, const TStringList& InclList, const TStringList& ExclList)
{
    return (InclList.Empty() || MatchesAnyMask(InclList, Value)) &&
           !(!ExclList.Empty() && MatchesAnyMask(ExclList, Value));
}

void TEmailProcessor::GetRecipientInfo(const ComPtr<outlook::IRecipient>& Recipient, std::string& Name,
                                       std::string& Address)
{
    Name = RemoveQuotes(Recipient->Name());
    Address = NormalizeSmtpAddress(Recipient->Address(), "");
    if (!Address.empty()) return;
    // Not an SMTP address (an Exchange entry, say): ask the address entry for one.
    try {
        if (!FMAPIUtils) throw ComError(E_POINTER);
        const ComPtr<IUnknown> mapiObject = Recipient->AddressEntry()->MAPIOBJECT();
        const std::string smtp = FMAPIUtils->GetMAPIProperty(mapiObject, qelutils::PR_SMTP_ADDRESS);
        Address = RemoveQuotes(NormalizeSmtpAddress(smtp, Name));
    } catch (...) {
        Address = Name;
    }
}

namespace {

/// Whether the list holds a mask that is not blank.
bool HasAnyMask(const TStringList& List)
{
    for (const std::string& entry : List) {
        if (!Trim(entry).empty()) return true;
    }
    return false;
}

}  // namespace

void TEmailProcessor::FindOtherRecipient(const RecipientsPtr& Recipients, std::string& Name,
                                         std::string& Address)
{
    const TStringList& own = FMeOptions->Values();
    // Without own addresses the first recipient is the other party; it is read already.
    for (int n = 1; HasAnyMask(own) && n <= Recipients->Count(); ++n) {
        GetRecipientInfo(Recipients->Item(n), Name, Address);
        if (!MatchesAnyMask(own, Name) && !MatchesAnyMask(own, Address)) return;
    }
    Name = FRecipientName;
    Address = FRecipientAddress;
}

void TEmailProcessor::FindMyRecipient(const RecipientsPtr& Recipients, std::string& Name, std::string& Address)
{
    const TStringList& own = FMeOptions->Values();
    // Without own addresses no recipient is the user, and the first one stands in.
    for (int n = 1; HasAnyMask(own) && n <= Recipients->Count(); ++n) {
        GetRecipientInfo(Recipients->Item(n), Name, Address);
        if (MatchesAnyMask(own, Name) || MatchesAnyMask(own, Address)) return;
    }
    Name = FRecipientName;
    Address = FRecipientAddress;
}

void TEmailProcessor::ReadItemInfo(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients)
{
    FSenderName = Trapped<std::string>([&] { return RemoveQuotes(SafeItem->SenderName()); }, "");
    FSenderAddress = Trapped<std::string>(
        [&] { return NormalizeSmtpAddress(SafeItem->Fields(qelutils::PR_SENDER_EMAIL_ADDRESS), FSenderName); },
        FSenderName);

    FRecipientName.clear();
    FRecipientAddress.clear();
    if (Recipients->Count() > 0) GetRecipientInfo(Recipients->Item(1), FRecipientName, FRecipientAddress);

    FItemDate = Trapped<TDateTime>([&] { return SafeItem->Sent() ? SafeItem->SentOn() : 0.0; }, 0);
    if (FItemDate == 0) FItemDate = Trapped<TDateTime>([&] { return SafeItem->ReceivedTime(); }, 0);
    if (FItemDate == 0) FItemDate = Trapped<TDateTime>([&] { return SafeItem->CreationTime(); }, 0);

    FSubject = Trim(SafeItem->Subject());
    FSubjectNoPrefix = RemoveSubjectPrefixes(FSubject);

    const TStringList& own = FMeOptions->Values();
    if (MatchesAnyMask(own, FSenderName) || MatchesAnyMask(own, FSenderAddress)) {
        FMyName = FSenderName;
        FMyAddress = FSenderAddress;
        FindOtherRecipient(Recipients, FOtherName, FOtherAddress);
    } else {
        FOtherName = FSenderName;
        FOtherAddress = FSenderAddress;
        FindMyRecipient(Recipients, FMyName, FMyAddress);
    }

    FMessageID.clear();
    FMessageID = FindMessageID(SafeItem->Fields(qelutils::PR_TRANSPORT_MESSAGE_HEADERS));
}

bool TEmailProcessor::MatchesFilter(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients,
                                    const TOptions_Filter& Filter)
{
    // An inactive filter passes every item without reading it further: counting the
    // attachments would parse every message body of the store for nothing.
    if (!Filter.Active) return true;

    const bool senderPasses = PassesInclExcl(FSenderName, Filter.SenderIncl(), Filter.SenderExcl()) ||
                              PassesInclExcl(FSenderAddress, Filter.SenderIncl(), Filter.SenderExcl());

    bool recipientsPass = true;
    const int count = Recipients->Count();
    for (int n = 1; n <= count && recipientsPass; ++n) {
        std::string name, address;
        GetRecipientInfo(Recipients->Item(n), name, address);
        recipientsPass = PassesInclExcl(name, Filter.RecipientIncl(), Filter.RecipientExcl()) ||
                         PassesInclExcl(address, Filter.RecipientIncl(), Filter.RecipientExcl());
    }

    const bool subjectPasses = PassesInclExcl(FSubject, Filter.SubjectIncl(), Filter.SubjectExcl());

    bool datePasses = true;
    if (Filter.DateFrom != 0 || Filter.DateTo != 0) {
        const TDateTime d = DateOf(FItemDate);
        if (Filter.DateFrom != 0) datePasses = d >= Filter.DateFrom;
        if (Filter.DateTo != 0) datePasses = datePasses && d <= Filter.DateTo;
    }

    // Counting the attachments parses the whole message: only when the switches tell apart.
    bool attachmentsPass = Filter.HasAtt && Filter.HasNoAtt;
    if (Filter.HasAtt != Filter.HasNoAtt) {
        const int attachments = SafeItem->Attachments()->Count();
        attachmentsPass = (Filter.HasAtt && attachments > 0) || (Filter.HasNoAtt && attachments == 0);
    }

    return senderPasses && recipientsPass && subjectPasses && datePasses && attachmentsPass;
}
