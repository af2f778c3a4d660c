#include "jobs/StrTools.h"

void FetchToken(std::string& S, char Sep, std::string& Token)
{
    const std::size_t pos = S.find(Sep);
    if (pos == std::string::npos) {
        Token = std::move(S);
        S.clear();
        return;
    }
    Token = S.substr(0, pos);
    S.erase(0, pos + 1);
}
