#pragma once
// Environment variables set or unset for the length of a test; the old values come back when
// it ends.

#include <cstdlib>
#include <string>
#include <vector>

namespace test {

class ScopedEnvironment {
public:
    void Set(const char* name, const std::string& value)
    {
        const char* old = std::getenv(name);
        saved_.push_back({name, old != nullptr, old != nullptr ? old : ""});
        ::setenv(name, value.c_str(), 1);
    }
    void Unset(const char* name)
    {
        const char* old = std::getenv(name);
        saved_.push_back({name, old != nullptr, old != nullptr ? old : ""});
        ::unsetenv(name);
    }
    ~ScopedEnvironment()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            it->had ? ::setenv(it->name, it->value.c_str(), 1) : ::unsetenv(it->name);
    }

private:
    struct Saved {
        const char* name;
        bool had;
        std::string value;
    };
    std::vector<Saved> saved_;
};

}  // namespace test
