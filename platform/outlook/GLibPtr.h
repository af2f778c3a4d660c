#pragma once
// Owning pointers for GLib and GMime objects. The only place that releases them by hand.
//
//   auto msg = GObjectPtr<GMimeMessage>::Adopt(g_mime_parser_construct_message(parser, nullptr));
//   auto part = GObjectPtr<GMimeObject>::Retain(g_mime_message_get_mime_part(msg.get()));

#include <glib-object.h>
#include <glib.h>

#include <memory>
#include <string>
#include <utility>

namespace glibptr_detail {
struct GObjectUnref {
    void operator()(gpointer p) const { if (p) g_object_unref(p); }
};
struct GFree {
    void operator()(gpointer p) const { g_free(p); }
};
struct GErrorFree {
    void operator()(GError* e) const { if (e) g_error_free(e); }
};
struct GDateTimeUnref {
    void operator()(GDateTime* d) const { if (d) g_date_time_unref(d); }
};
struct GBytesUnref {
    void operator()(GBytes* b) const { if (b) g_bytes_unref(b); }
};
struct GByteArrayUnref {
    void operator()(GByteArray* b) const { if (b) g_byte_array_unref(b); }
};
}  // namespace glibptr_detail

/// An owned reference to a GObject. `Adopt` takes a reference the call gave us;
/// `Retain` adds one for a pointer the call only lent.
template <class T>
class GObjectPtr {
public:
    GObjectPtr() = default;
    static GObjectPtr Adopt(T* p) { return GObjectPtr(p); }
    static GObjectPtr Retain(T* p)
    {
        if (p) g_object_ref(p);
        return GObjectPtr(p);
    }
    T* get() const noexcept { return p_.get(); }
    T* operator->() const noexcept { return p_.get(); }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void reset() noexcept { p_.reset(); }
    /// Gives the reference away (to a call that takes ownership).
    [[nodiscard]] T* release() noexcept { return p_.release(); }

private:
    explicit GObjectPtr(T* p) : p_(p) {}
    std::unique_ptr<T, glibptr_detail::GObjectUnref> p_;
};

using GCharPtr = std::unique_ptr<char, glibptr_detail::GFree>;
using GErrorPtr = std::unique_ptr<GError, glibptr_detail::GErrorFree>;
using GDateTimePtr = std::unique_ptr<GDateTime, glibptr_detail::GDateTimeUnref>;
using GBytesPtr = std::unique_ptr<GBytes, glibptr_detail::GBytesUnref>;
using GByteArrayPtr = std::unique_ptr<GByteArray, glibptr_detail::GByteArrayUnref>;

/// Takes an owned `char*` from GLib and returns it as a string ("" for null), freeing it.
inline std::string TakeString(char* owned)
{
    const GCharPtr holder(owned);
    return owned ? std::string(owned) : std::string();
}
