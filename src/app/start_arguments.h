#pragma once
// What the program's command line asks for. Arguments it does not know are ignored.
namespace hkv {

// The switch's name, after "/" or "-".
inline constexpr wchar_t kArmedSwitchName[] = L"armed";

// How the main window starts.
enum class StartMode {
    // Shown, every row unticked.
    Shown,
    // "/armed" or "-armed", in any letter case: hidden in the notification area, every row with a
    // stored hotkey ticked, for a start at sign-in that is already doing its job.
    Armed,
};

// The start mode the given command line (the whole of it, program name first) asks for.
StartMode StartModeOf(const wchar_t* commandLine);

} // namespace hkv
