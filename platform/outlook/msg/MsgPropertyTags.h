#pragma once
// Property tags of the message file format: the high 16 bits are the property id, the low
// 16 bits its type. Only the properties this codec writes or reads are named here.

#include <cstdint>

namespace msgfile {

// Property types.
inline constexpr std::uint16_t kTypeLong = 0x0003;
inline constexpr std::uint16_t kTypeBoolean = 0x000B;
inline constexpr std::uint16_t kTypeObject = 0x000D;
inline constexpr std::uint16_t kTypeString8 = 0x001E;
inline constexpr std::uint16_t kTypeUnicode = 0x001F;
inline constexpr std::uint16_t kTypeSysTime = 0x0040;
inline constexpr std::uint16_t kTypeBinary = 0x0102;

constexpr std::uint32_t MakeTag(std::uint16_t id, std::uint16_t type) { return (std::uint32_t{id} << 16) | type; }
constexpr std::uint16_t TagId(std::uint32_t tag) { return static_cast<std::uint16_t>(tag >> 16); }
constexpr std::uint16_t TagType(std::uint32_t tag) { return static_cast<std::uint16_t>(tag & 0xFFFF); }

// Ids of the message.
inline constexpr std::uint16_t kMessageClass = 0x001A;
inline constexpr std::uint16_t kSubject = 0x0037;
inline constexpr std::uint16_t kClientSubmitTime = 0x0039;
inline constexpr std::uint16_t kSentRepresentingName = 0x0042;
inline constexpr std::uint16_t kSentRepresentingAddrType = 0x0064;
inline constexpr std::uint16_t kSentRepresentingEmail = 0x0065;
inline constexpr std::uint16_t kConversationTopic = 0x0070;
inline constexpr std::uint16_t kTransportHeaders = 0x007D;
inline constexpr std::uint16_t kSenderName = 0x0C1A;
inline constexpr std::uint16_t kSenderAddrType = 0x0C1E;
inline constexpr std::uint16_t kSenderEmail = 0x0C1F;
inline constexpr std::uint16_t kDisplayBcc = 0x0E02;
inline constexpr std::uint16_t kDisplayCc = 0x0E03;
inline constexpr std::uint16_t kDisplayTo = 0x0E04;
inline constexpr std::uint16_t kDeliveryTime = 0x0E06;
inline constexpr std::uint16_t kMessageFlags = 0x0E07;
inline constexpr std::uint16_t kHasAttachments = 0x0E1B;
inline constexpr std::uint16_t kNormalizedSubject = 0x0E1D;
inline constexpr std::uint16_t kBody = 0x1000;
inline constexpr std::uint16_t kHtml = 0x1013;
inline constexpr std::uint16_t kInternetMessageId = 0x1035;
inline constexpr std::uint16_t kCreationTime = 0x3007;
inline constexpr std::uint16_t kLastModificationTime = 0x3008;
inline constexpr std::uint16_t kStoreSupportMask = 0x340D;
inline constexpr std::uint16_t kInternetCodepage = 0x3FDE;
inline constexpr std::uint16_t kMessageCodepage = 0x3FFD;
inline constexpr std::uint16_t kSenderSmtpAddress = 0x5D01;

// Ids of recipients.
inline constexpr std::uint16_t kRecipientType = 0x0C15;
inline constexpr std::uint16_t kObjectType = 0x0FFE;
inline constexpr std::uint16_t kRowId = 0x3000;
inline constexpr std::uint16_t kDisplayName = 0x3001;
inline constexpr std::uint16_t kAddrType = 0x3002;
inline constexpr std::uint16_t kEmailAddress = 0x3003;
inline constexpr std::uint16_t kDisplayType = 0x3900;
inline constexpr std::uint16_t kSmtpAddress = 0x39FE;

// Ids of attachments.
inline constexpr std::uint16_t kAttachNumber = 0x0E21;
inline constexpr std::uint16_t kAttachData = 0x3701;
inline constexpr std::uint16_t kAttachExtension = 0x3703;
inline constexpr std::uint16_t kAttachFilename = 0x3704;
inline constexpr std::uint16_t kAttachMethod = 0x3705;
inline constexpr std::uint16_t kAttachLongFilename = 0x3707;
inline constexpr std::uint16_t kRenderingPosition = 0x370B;
inline constexpr std::uint16_t kAttachMimeTag = 0x370E;
inline constexpr std::uint16_t kAttachContentId = 0x3712;

// Values.
inline constexpr std::uint32_t kMessageFlagRead = 0x0001;
inline constexpr std::uint32_t kMessageFlagHasAttach = 0x0010;
inline constexpr std::uint32_t kStoreUnicodeOk = 0x00040000;
inline constexpr std::uint32_t kAttachByValue = 1;
inline constexpr std::uint32_t kAttachEmbeddedMessage = 5;
inline constexpr std::uint32_t kObjectTypeMessage = 5;
inline constexpr std::uint32_t kObjectTypeRecipient = 6;
inline constexpr std::uint32_t kObjectTypeAttachment = 7;
inline constexpr std::uint32_t kCodepageUtf8 = 65001;

// Names of storages and streams.
inline constexpr const char* kPropertiesStream = "__properties_version1.0";
inline constexpr const char* kNameIdStorage = "__nameid_version1.0";
inline constexpr const char* kRecipientPrefix = "__recip_version1.0_#";
inline constexpr const char* kAttachmentPrefix = "__attach_version1.0_#";
inline constexpr const char* kSubstgPrefix = "__substg1.0_";

// Sizes of the property stream header: the top-level message, an attached message, and a
// recipient or attachment storage.
inline constexpr std::size_t kTopHeaderSize = 32;
inline constexpr std::size_t kEmbeddedHeaderSize = 24;
inline constexpr std::size_t kChildHeaderSize = 8;
inline constexpr std::size_t kEntrySize = 16;

}  // namespace msgfile
