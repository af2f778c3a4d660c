#pragma once
// The stored fields of each part record, in the order they are written, with the value a
// job definition file gives when the key is missing. The registry and INI code walk these
// lists with a visitor, so a field's name and order are spelled once.
//
// A visitor offers Bool, Byte, Int, Str, Date and List (name, field[, file default]) and a
// flag `Loading`: the filter reads its lists before its dates and switches.

#include <concepts>
#include <type_traits>

#include "jobs/Options.h"

namespace options_fields {

template <class R, class T>
concept RecordOf = std::same_as<std::remove_const_t<R>, T>;

template <class V, RecordOf<TOptions_Source> R>
void Visit(V& v, R& r)
{
    v.Byte("Source", r.Source, 0);
    v.Str("Entry", r.Entry);
    v.Str("Store", r.Store);
    v.Str("FullName", r.FullName);
    v.Bool("InclSubFolders", r.InclSubFolders, false);
}

template <class V, class R>
void VisitFilterLists(V& v, R& r)
{
    v.List("SenderIncl", r.SenderIncl());
    v.List("SenderExcl", r.SenderExcl());
    v.List("RecipientIncl", r.RecipientIncl());
    v.List("RecipientExcl", r.RecipientExcl());
    v.List("SubjectIncl", r.SubjectIncl());
    v.List("SubjectExcl", r.SubjectExcl());
}

template <class V, RecordOf<TOptions_Filter> R>
void Visit(V& v, R& r)
{
    v.Bool("Active", r.Active, false);
    if (v.Loading) VisitFilterLists(v, r);
    v.Date("DateFrom", r.DateFrom);
    v.Date("DateTo", r.DateTo);
    v.Bool("HasAtt", r.HasAtt, false);
    v.Bool("HasNoAtt", r.HasNoAtt, false);
    if (!v.Loading) VisitFilterLists(v, r);
}

template <class V, RecordOf<TOptions_CopyMove> R>
void Visit(V& v, R& r)
{
    v.Bool("Active", r.Active, false);
    v.Str("Entry", r.Entry);
    v.Str("Store", r.Store);
    v.Str("FullName", r.FullName);
    v.Str("Mask", r.Mask);
}

template <class V, RecordOf<TOptions_ExportEmails> R>
void Visit(V& v, R& r)
{
    v.Bool("Active", r.Active, false);
    v.Byte("SaveFormat", r.SaveFormat, 3);
    v.Str("DestPath", r.DestPath);
    v.Str("Mask", r.Mask);
    v.Byte("DuplicateMode", r.DuplicateMode, 0);
    v.Str("PrefixSubject", r.PrefixSubject);
    v.Bool("AlsoAttachments", r.AlsoAttachments, false);
    v.Bool("Log", r.Log, false);
    v.Str("LogPath", r.LogPath);
}

template <class V, RecordOf<TOptions_Reimport> R>
void Visit(V& v, R& r)
{
    v.Bool("Active", r.Active, false);
}

template <class V, RecordOf<TOptions_SaveAttachments> R>
void Visit(V& v, R& r)
{
    v.Bool("Active", r.Active, false);
    v.Bool("RecurseMSG", r.RecurseMSG, false);
    v.Str("DestPath", r.DestPath);
    v.Str("Mask", r.Mask);
    v.Byte("DuplicateMode", r.DuplicateMode, 0);
    v.Byte("AfterSaveMode", r.AfterSaveMode, 0);
    v.Bool("SaveOnlyIfSize", r.SaveOnlyIfSize, false);
    v.Int("SaveOnlyIfSizeKB", r.SaveOnlyIfSizeKB, 1);
    v.List("AttIncl", r.AttIncl());
    v.List("AttExcl", r.AttExcl());
}

template <class V, RecordOf<TOptions_DeleteAttachments> R>
void Visit(V& v, R& r)
{
    v.Bool("Active", r.Active, false);
    v.List("AttIncl", r.AttIncl());
    v.List("AttExcl", r.AttExcl());
}

template <class V, RecordOf<TOptions_ReadUnread> R>
void Visit(V& v, R& r)
{
    v.Byte("Mode", r.Mode, 0);
}

template <class V, RecordOf<TOptions_DeleteEmails> R>
void Visit(V& v, R& r)
{
    v.Bool("Active", r.Active, false);
    v.Bool("DeleteWithoutAtt", r.DeleteWithoutAtt, false);
    v.Bool("DeleteWithAtt", r.DeleteWithAtt, false);
}

}  // namespace options_fields
