#include "app/sign_in_command.h"

#include <algorithm>

#include "app/start_arguments.h"

namespace hkv {
namespace {

constexpr wchar_t kQuote = L'"';
constexpr std::wstring_view kBlanks = L" \t";
constexpr std::wstring_view kProgramEnding = L".exe";
constexpr std::uint8_t kSwitchEnabled = 2;

wchar_t FoldForPath(wchar_t c) {
    if (c == L'/') {
        return L'\\';
    }
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualFolded(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(a, b, {}, FoldForPath, FoldForPath);
}

} // namespace

std::wstring SignInCommand(std::wstring_view exePath) {
    std::wstring command;
    command += kQuote;
    command += exePath;
    command += kQuote;
    command += L' ';
    command += kArmedArgument;
    return command;
}

std::wstring ProgramOfCommand(std::wstring_view command) {
    const std::size_t start = command.find_first_not_of(kBlanks);
    if (start == std::wstring_view::npos) {
        return {};
    }
    command.remove_prefix(start);
    if (command.front() == kQuote) {
        command.remove_prefix(1);
        return std::wstring(command.substr(0, command.find(kQuote)));
    }
    for (std::size_t end = kProgramEnding.size(); end <= command.size(); ++end) {
        if (EqualFolded(command.substr(end - kProgramEnding.size(), kProgramEnding.size()),
                        kProgramEnding) &&
            (end == command.size() || kBlanks.find(command[end]) != std::wstring_view::npos)) {
            return std::wstring(command.substr(0, end));
        }
    }
    return std::wstring(command.substr(0, command.find_first_of(kBlanks)));
}

bool SamePath(std::wstring_view a, std::wstring_view b) {
    return EqualFolded(a, b);
}

bool StartupSwitchOn(const std::optional<std::vector<std::uint8_t>>& entry) {
    return !entry || (!entry->empty() && entry->front() == kSwitchEnabled);
}

} // namespace hkv
