#pragma once
// Plays an old shortcut: presses the listed keys in order, pauses, releases them in reverse.
#include <cstdint>
#include <string_view>

namespace hkv {

// Where the player's key events and pauses go: the system's keyboard in the program
// (keys/system_key_output.h), a recording in tests.
class KeyOutput {
  public:
    virtual ~KeyOutput() = default;
    virtual void Key(std::uint8_t virtualKey, bool up) = 0;
    virtual void Pause(int milliseconds) = 0;
};

// Plays a key code list ("2|17|67") to the output: 1 key: down, 100 ms, up; 2 or 3 keys: downs in
// order, 200 ms, ups in reverse. A list that is not well formed plays nothing. A press that
// arrives during the pause may start a nested playback, which runs to its end inside the pause.
void PlayKeyCodeList(std::wstring_view textall, KeyOutput& output);

// Number of playbacks in progress (nested ones included).
int ActivePlaybacks();

// Whether a playback in progress holds this key down right now.
bool IsHeldByPlayback(std::uint8_t virtualKey);

// Releases, in reverse order, every key a playback in progress still holds down; used when the
// program ends during a playback. The interrupted playbacks then release nothing twice.
void ReleaseHeldKeys();

} // namespace hkv
