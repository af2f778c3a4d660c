#pragma once
// Unix times as the object model's dates (TDateTime, local time).

#include <ctime>
#include <string>

#include "platform/runtime/DateTime.h"

namespace outlook {

TDateTime LocalDateTime(std::time_t time);

/// "Monday, 3 June 2024 14:05" in local time, the form of a saved text file's Sent line.
std::string LongDateText(std::time_t time);

}  // namespace outlook
