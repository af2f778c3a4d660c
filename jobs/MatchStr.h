#pragma once
// Wildcard masks: "*" stands for any run of characters (none too), "?" for exactly one
// character (a code point of the UTF-8 text); every other character must be equal, with
// case and accents significant. There is no escape. Callers that want to ignore case
// upper-case both sides first.

#include <string_view>

/// True when Text matches Mask. Runs in O(|Text| * |Mask|) at worst: a mask with many "*"
/// against a long text (which a stranger may control) never backtracks exponentially.
bool MatchWildcard(std::string_view Text, std::string_view Mask);

/// True when every character of Mask is "*" (also for the empty mask).
bool IsAllStars(std::string_view Mask);

/// 1-based byte position of the first "*" or "?" in Mask; 0 when it holds neither.
int FirstWildcardPos(std::string_view Mask);
