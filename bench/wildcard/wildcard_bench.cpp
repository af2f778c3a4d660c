// Times the wildcard matcher on masks that make a backtracking matcher explode: many "*"
// against a long subject that almost matches. Prints one line per case, in milliseconds.
#include <chrono>
#include <cstdio>
#include <string>

#include "jobs/MatchStr.h"

namespace {

struct Case {
    const char* label;
    std::string text;
    std::string mask;
};

double TimeMs(const Case& c, int repeats, bool& result)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeats; ++i) result = MatchWildcard(c.text, c.mask);
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / repeats;
}

}  // namespace

int main()
{
    const std::string as(5000, 'a');
    std::string manyStars;
    std::string starsAndAny;
    for (int i = 0; i < 30; ++i) {
        manyStars += "*a";
        starsAndAny += "*?";
    }
    const Case cases[] = {
        {"30 x \"*a\" then \"b\", 5000 x a", as, manyStars + "b"},
        {"\"*a*a*...*a\" (30), 5000 x a", as, manyStars},
        {"\"*?*?...\" (30) then \"b\", 5000 x a", as, starsAndAny + "b"},
        {"\"*aaaa...b*\" (40 a), 5000 x a", as, "*" + std::string(40, 'a') + "b*"},
        {"\"*@EXAMPLE.COM\", 5000-character address", std::string(4988, 'x') + "@EXAMPLE.COM", "*@EXAMPLE.COM"},
    };
    for (const Case& c : cases) {
        bool result = false;
        const double ms = TimeMs(c, 20, result);
        std::printf("%-45s %s  %8.3f ms\n", c.label, result ? "match   " : "no match", ms);
    }
    return 0;
}
