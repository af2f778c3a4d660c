#include "platform/outlook/Item.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/outlook/BodyTexts.h"
#include "platform/outlook/ConvertAhead.h"
#include "platform/outlook/DateConv.h"
#include "platform/outlook/Errors.h"
#include "platform/outlook/MessageFiles.h"

namespace outlook {

namespace {

constexpr const char* kCalendarType = "text/calendar";

std::time_t FileTime(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) Fail("The message file \"" + path + "\" cannot be read.");
    return st.st_mtime;
}

TDateTime ToDate(const std::optional<std::time_t>& time) { return time ? LocalDateTime(*time) : 0.0; }

}  // namespace

ComPtr<IOutlookItem> ItemImpl::ForRecord(const ObjectContext& context, const FolderStatePtr& folder,
                                         const RecordPtr& record)
{
    if (record->live) return ComPtr<IOutlookItem>::Retain(record->live);
    auto item = MakeCom<ItemImpl>(context, folder, record);
    return item;
}

ComPtr<IOutlookItem> ItemImpl::FromMessage(const ObjectContext& context, GObjectPtr<GMimeMessage> message)
{
    return MakeCom<ItemImpl>(context, std::move(message));
}

ItemImpl::ItemImpl(ObjectContext context, FolderStatePtr folder, RecordPtr record)
    : context_(std::move(context)), folder_(std::move(folder)), record_(std::move(record))
{
    Register();
}

ItemImpl::ItemImpl(ObjectContext context, GObjectPtr<GMimeMessage> message)
    : context_(std::move(context)), full_(std::move(message))
{
}

ItemImpl::~ItemImpl()
{
    if (record_ && record_->live == this) record_->live = nullptr;
}

void ItemImpl::Register()
{
    if (record_) record_->live = this;
}

void ItemImpl::CheckAlive() const
{
    if (gone_) Fail("The item has been deleted.");
}

void ItemImpl::FailGone() const
{
    throw ComError(kMessageGone, "The message \"" + record_->name.unique +
                                     "\" is no longer in the folder \"" + folder_->Path() + "\".");
}

const HeaderFields& ItemImpl::Headers()
{
    CheckAlive();
    if (!folder_) {
        headers_ = HeadersOf(GMIME_OBJECT(full_.get()));  // the message may have changed since
        sender_.reset();
    } else if (!headers_) {
        headers_ =
            HeaderFields(WithStoredFile([](const std::string& path) { return ReadHeaderBlock(path); }));
        sender_.reset();
    }
    return *headers_;
}

const std::optional<Address>& ItemImpl::Sender()
{
    const HeaderFields& headers = Headers();
    if (!sender_) sender_ = SenderOf(headers);
    return *sender_;
}

GMimeMessage* ItemImpl::FullMessage()
{
    CheckAlive();
    if (!full_) {
        full_ = WithStoredFile(
            [](const std::string& path) { return ParseStoredMessage(path, OpenMessageFile(path)); });
    }
    return full_.get();
}

std::string ItemImpl::StoredBytes()
{
    if (!folder_) {
        CheckAlive();
        return SerializeMessage(full_.get());
    }
    return WithStoredFile([](const std::string& path) { return ReadWholeFile(path); });
}

GObjectPtr<GMimeMessage> ParseStoredMessage(const std::string& path, UniqueFd file)
{
    auto message = ParseMessageFd(std::move(file));  // raises the store's error
    return message ? std::move(message) : ParseMessage(ReadWholeFile(path));
}

ClassHeaders ReadClassHeaders(const std::string& path)
{
    std::optional<HeaderFields> parsed;
    const HeaderAndSearch read = ReadHeaderBlockAndSearch(path, kCalendarType, [&parsed](const std::string& block) {
        const HeaderFields& fields = parsed.emplace(block);
        return MayBeMeeting(fields) && ClassFromHeaders(fields) != olReport;
    });
    return {std::move(*parsed), read.found};
}

std::optional<bool> ItemImpl::ReadHeadersAndLookForCalendar()
{
    if (!folder_ || full_ || headers_) return std::nullopt;
    std::optional<ClassHeaders> read;
    if (context_.ahead) read = context_.ahead->TakeHeaders(record_->name.unique, folder_->FileOf(*record_));
    if (!read) read = WithStoredFile(ReadClassHeaders);
    if (context_.ahead) context_.ahead->PrepareNext(ConvertAhead::Kind::headers, folder_, {});
    headers_ = std::move(read->fields);
    sender_.reset();
    return read->calendarFound;
}

int ItemImpl::ComputeClass()
{
    // A message in a folder is opened once for its headers and, where they allow a meeting
    // request, for the headers of its parts.
    const std::optional<bool> calendarSeen = ReadHeadersAndLookForCalendar();
    const int fromHeaders = ClassFromHeaders(Headers());
    if (fromHeaders == olReport || !MayBeMeeting(Headers())) return fromHeaders;
    // Only a message whose own or a part's headers name text/calendar is parsed whole.
    const bool look = full_ || !folder_ || calendarSeen.value_or(false) ||
                      (!calendarSeen && WithStoredFile([](const std::string& path) {
                          return MimeHeadersContainNoCase(path, kCalendarType);
                      }));
    if (look && HasMeetingRequest(FullMessage())) return olMeetingRequest;
    return fromHeaders;
}

int ItemImpl::Class()
{
    if (!class_) class_ = ComputeClass();
    return *class_;
}

ComPtr<IOutlookObject> ItemImpl::Parent()
{
    if (!folder_ || gone_) return nullptr;
    return MakeFolderObject(context_, folder_);
}

std::string ItemImpl::Subject()
{
    if (pendingSubject_) return *pendingSubject_;
    return SubjectOf(Headers());
}

void ItemImpl::SetSubject(const std::string& subject)
{
    CheckAlive();
    // Writing back the subject as it is changes nothing in the stored message.
    if (!pendingSubject_ && SubjectOf(Headers()) == subject) return;
    pendingSubject_ = subject;
}

std::string ItemImpl::SenderName()
{
    const auto& sender = Sender();
    if (!sender) return {};
    return sender->name.empty() ? sender->address : sender->name;
}

std::string ItemImpl::SenderEmailAddress()
{
    const auto& sender = Sender();
    return sender ? sender->address : std::string();
}

std::string ItemImpl::TransportHeaders()
{
    std::string block = Headers().Block();
    // Without the blank line that ends the block.
    while (!block.empty() && (block.back() == '\n' || block.back() == '\r')) block.pop_back();
    if (!block.empty()) block += '\n';
    return MakeValidUtf8(ToCrLf(block));
}

/// The item as BodyTexts.h reads its bodies.
class ItemImpl::BodySource {
public:
    explicit BodySource(ItemImpl& item) : item_(item) {}
    bool ReadWhole() const { return item_.full_ || !item_.folder_; }
    const HeaderFields& Headers() { return item_.Headers(); }
    GMimeMessage* FullMessage() { return item_.FullMessage(); }
    template <class Act>
    auto WithFile(Act&& act)
    {
        return item_.WithStoredFile(std::forward<Act>(act));
    }

private:
    ItemImpl& item_;
};

std::string ItemImpl::Body()
{
    CheckAlive();
    BodySource source(*this);
    std::string body = TakeBodiesAhead() ? aheadBodies_->body : PlainBodyOf(source, [this] { return HTMLBody(); });
    PrepareBodiesAhead();
    return body;
}

std::string ItemImpl::HTMLBody()
{
    // An export asks for it twice (is there one, then the page): it is decoded once. No change
    // an item can make alters it: attachments are never the body.
    CheckAlive();
    if (!html_) {
        BodySource source(*this);
        html_ = TakeBodiesAhead() ? aheadBodies_->html : HtmlBodyOf(source);
        PrepareBodiesAhead();
    }
    return *html_;
}

bool ItemImpl::TakeBodiesAhead()
{
    if (!aheadBodies_ && !bodiesSought_ && !full_ && folder_ && context_.ahead) {
        bodiesSought_ = true;
        aheadBodies_ = context_.ahead->TakeBodies(record_->name.unique, folder_->FileOf(*record_));
    }
    return aheadBodies_.has_value();
}

void ItemImpl::PrepareBodiesAhead()
{
    if (folder_ && context_.ahead) context_.ahead->PrepareNext(ConvertAhead::Kind::bodies, folder_, {});
}

bool ItemImpl::Sent()
{
    std::string unsent = HeaderText(Headers(), "X-Unsent");
    unsent.erase(std::remove_if(unsent.begin(), unsent.end(), [](char c) { return c == ' ' || c == '\t'; }),
                 unsent.end());
    return unsent != "1";
}

std::optional<std::time_t> ItemImpl::SentTime() { return DateOf(Headers()); }

TDateTime ItemImpl::SentOn() { return ToDate(SentTime()); }

std::optional<std::time_t> ArrivalTimeOf(std::string_view unique, const HeaderFields& headers)
{
    if (const auto delivered = DeliveryTimeOf(unique)) return delivered;
    return FirstReceivedDate(headers);
}

TDateTime ItemImpl::ReceivedTime()
{
    const auto arrived = ArrivalTimeOf(record_ ? std::string_view(record_->name.unique) : std::string_view(), Headers());
    return arrived ? LocalDateTime(*arrived) : CreationTime();
}

TDateTime ItemImpl::CreationTime()
{
    if (!folder_) return LocalDateTime(std::time(nullptr));
    return LocalDateTime(WithStoredFile(FileTime));
}

bool ItemImpl::Unread()
{
    CheckAlive();
    if (pendingUnread_) return *pendingUnread_;
    return record_ ? !record_->name.HasFlag('S') : false;
}

void ItemImpl::SetUnread(bool unread)
{
    CheckAlive();
    pendingUnread_ = unread;
}

}  // namespace outlook
