#pragma once
// The start at sign-in, kept in the user's Run key: read when a menu that shows it opens, written
// only when the user clicks its item. Windows' startup switch for it (Task Manager's Startup tab,
// Settings' Startup page) is read too, and only ever cleared, when the user arms the start.
#include <string>

namespace hkv {

class SignInStart {
  public:
    // Keys of the user's hive.
    struct Keys {
        const wchar_t* run;
        const wchar_t* startupSwitch;
    };
    static constexpr Keys kUserKeys{
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run"};

    // exePath: the program that signing in should start, this copy.
    explicit SignInStart(const std::wstring& exePath, Keys keys = kUserKeys);

    // Whether signing in starts this copy: the Run value names it and the startup switch lets it.
    bool Armed() const;
    // The item's click: arms the start when it is not armed (pointing a value that names another
    // copy at this one, and clearing the startup switch), disarms it when it is. Returns what the
    // user is to be told: a refusal with the system's reason, the other copy's path, or nothing.
    std::wstring Toggle();

  private:
    enum class State { None, ThisCopy, SwitchedOff, OtherCopy };
    struct Reading {
        State state = State::None;
        std::wstring program; // the program the value names, as it names it
    };
    Reading Read() const;

    std::wstring exePath_;   // full and long
    std::wstring exeFolded_; // in capitals, for comparing
    Keys keys_;
};

} // namespace hkv
