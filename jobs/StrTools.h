#pragma once
// Splitting a text into tokens at a separator.

#include <string>

/// When Sep occurs in S: Token := the part before its first occurrence, S := the part after
/// it (the separator is dropped). Otherwise Token := S and S := "". Nothing is trimmed.
void FetchToken(std::string& S, char Sep, std::string& Token);
