#include "platform/ui/UserInterface.h"

#include "platform/ui/QtUserInterface.h"

#include <filesystem>
#include <system_error>

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

/// The entry's text without the last "(...)" when that names the entry's own patterns: Qt
/// reads the patterns from the last parentheses, which are written after it.
std::string TextWithoutOwnPatterns(const std::string& text, const std::string& patterns)
{
    const std::string own = "(" + patterns + ")";
    if (text.size() < own.size() || text.compare(text.size() - own.size(), own.size(), own) != 0) return text;
    std::string rest = text.substr(0, text.size() - own.size());
    while (!rest.empty() && rest.back() == ' ') rest.pop_back();
    return rest;
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
        const std::string patterns = WindowsFilter.substr(bar + 1, next - bar - 1);
        if (!out.empty()) out += ";;";
        out += TextWithoutOwnPatterns(WindowsFilter.substr(start, bar - start), patterns) + " (";
        AppendPatterns(out, patterns);
        out += ')';
        start = next + 1;
    }
    return out;
}

std::vector<std::string> HelpFolders(const std::string& HelpFile)
{
    const std::filesystem::path beside = std::filesystem::path(HelpFile).parent_path() / "help";
    std::vector<std::string> folders{beside.string()};
#ifdef TROVANTA_HELP_DIR
    if (beside != std::filesystem::path(TROVANTA_HELP_DIR)) folders.emplace_back(TROVANTA_HELP_DIR);
#endif
    return folders;
}

std::string HelpPagePath(const std::string& HelpFile, int Context)
{
    const std::string name = "topic-" + std::to_string(Context) + ".html";
    for (const std::string& folder : HelpFolders(HelpFile)) {
        const std::filesystem::path page = std::filesystem::path(folder) / name;
        std::error_code error;
        if (std::filesystem::is_regular_file(page, error)) return page.string();
    }
    return {};
}

}  // namespace ui
