#include "jobs/Options.h"

#include <cmath>
#include <utility>

#include <fmt/printf.h>

#include "platform/runtime/Exception.h"

void TOptions_Source::Clear()
{
    *this = TOptions_Source();
}

void TOptions_Filter::Clear()
{
    *this = TOptions_Filter();
    HasAtt = true;
    HasNoAtt = true;
}

void TOptions_CopyMove::Clear()
{
    *this = TOptions_CopyMove();
}

void TOptions_ExportEmails::Clear()
{
    *this = TOptions_ExportEmails();
    SaveFormat = 3;
    Mask = "[SE] - [RE] - [B]";
}

void TOptions_Reimport::Clear()
{
    Active = false;
}

void TOptions_SaveAttachments::Clear()
{
    *this = TOptions_SaveAttachments();
    Mask = "[O]\\[SE] - [RE] - [FE]";
    SaveOnlyIfSizeKB = 1;
}

void TOptions_DeleteAttachments::Clear()
{
    *this = TOptions_DeleteAttachments();
}

void TOptions_ReadUnread::Clear()
{
    Mode = 0;
}

void TOptions_DeleteEmails::Clear()
{
    Active = false;
    DeleteWithoutAtt = true;
    DeleteWithAtt = false;
}

TManualOptions::TManualOptions()
{
    Clear();
}

void TManualOptions::Clear()
{
    FSource.Clear();
    FFilter.Clear();
    FCopyEmails1.Clear();
    FExportEmails.Clear();
    FReimport.Clear();
    FSaveAttachments.Clear();
    FDeleteAttachments.Clear();
    FReadUnread.Clear();
    FCopyEmails2.Clear();
    FMoveEmails.Clear();
    FDeleteEmails.Clear();
}

TJobOptions::TJobOptions()
{
    Clear();
}

void TJobOptions::Clear()
{
    Sender = "*";
    Recipient = "*";
    Subject = "*";
    FExportEmails.Clear();
    FSaveAttachments.Clear();
}

TJobOptions& TJobList::NewJob()
{
    FItems.push_back(std::make_unique<TJobOptions>());
    return *FItems.back();
}

void TJobList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count()) throw EListError(fmt::sprintf("List index out of bounds (%d)", index));
}

TJobOptions& TJobList::Jobs(int index)
{
    CheckIndex(index);
    return *FItems[static_cast<std::size_t>(index)];
}

const TJobOptions& TJobList::Jobs(int index) const
{
    CheckIndex(index);
    return *FItems[static_cast<std::size_t>(index)];
}

void TJobList::Delete(int index)
{
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
}

void TJobList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    std::unique_ptr<TJobOptions> item = std::move(FItems[static_cast<std::size_t>(curIndex)]);
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, std::move(item));
}

void TAutoOptions::Clear()
{
    Active = false;
    FJobs.Clear();
}

void TSendOptions::Clear()
{
    ReplaceMode = 0;
}

void TMeOptions::Clear()
{
    FValues.Clear();
}

std::string DateToStrYMD(TDateTime date)
{
    const TDateTime day = std::trunc(date);
    if (day == 0 || !std::isfinite(day)) return {};
    int year = 0;
    int month = 0;
    int dayOfMonth = 0;
    DecodeDate(day, year, month, dayOfMonth);
    return fmt::sprintf("%.4d%.2d%.2d", year, month, dayOfMonth);
}

TDateTime StrToDateYMD(const std::string& text)
{
    if (text.size() != 8) return 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
    }
    const int year = std::stoi(text.substr(0, 4));
    const int month = std::stoi(text.substr(4, 2));
    const int day = std::stoi(text.substr(6, 2));
    TDateTime result = 0;
    return TryEncodeDate(year, month, day, result) ? result : 0;
}
