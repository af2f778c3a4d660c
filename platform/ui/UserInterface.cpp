#include "platform/ui/UserInterface.h"

#include "platform/ui/QtUserInterface.h"

namespace ui {

namespace {

std::unique_ptr<UserInterface>& Installed()
{
    static std::unique_ptr<UserInterface> installed = std::make_unique<QtUserInterface>();
    return installed;
}

void AppendPatterns(std::string& out, const std::string& patterns)
{
    // Windows separates the patterns of one entry with ";", Qt with blanks; "*.*" means every
    // file, with or without an extension.
    std::size_t start = 0;
    bool first = true;
    while (start <= patterns.size()) {
        const std::size_t end = std::min(patterns.find(';', start), patterns.size());
        const std::string pattern = patterns.substr(start, end - start);
        if (!pattern.empty()) {
            if (!first) out += ' ';
            out += pattern == "*.*" ? "*" : pattern;
            first = false;
        }
        start = end + 1;
    }
}

}  // namespace

UserInterface& Ui()
{
    return *Installed();
}

std::unique_ptr<UserInterface> SetUserInterface(std::unique_ptr<UserInterface> Next)
{
    std::unique_ptr<UserInterface> previous = std::move(Installed());
    Installed() = Next ? std::move(Next) : std::make_unique<QtUserInterface>();
    return previous;
}

std::string QtFileFilter(const std::string& WindowsFilter)
{
    std::string out;
    std::size_t start = 0;
    while (start < WindowsFilter.size()) {
        const std::size_t bar = WindowsFilter.find('|', start);
        if (bar == std::string::npos) break;
        const std::size_t next = std::min(WindowsFilter.find('|', bar + 1), WindowsFilter.size());
        std::string text = WindowsFilter.substr(start, bar - start);
        if (!out.empty()) out += ";;";
        // Qt reads the patterns from the last parentheses of an entry, so the text keeps
        // its own "(*.qef)" only when it names them already.
        out += text + " (";
        AppendPatterns(out, WindowsFilter.substr(bar + 1, next - bar - 1));
        out += ')';
        start = next + 1;
    }
    return out;
}

}  // namespace ui
