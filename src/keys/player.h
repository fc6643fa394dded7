#pragma once
// opendo: plays an old shortcut: presses the listed keys in order, pauses, releases them in
// reverse.
#include <string_view>

#include "keys/held_keys.h"
#include "keys/key_code_list.h"

namespace hkv {

// Plays the list to the output of `keys`, which knows the keys while they are down: 1 key: down,
// 100 ms, up; 2 or 3 keys: downs in order, 200 ms, ups in reverse. The user's modifier keys that
// the list does not hold are lifted before and pressed again after, so that the application
// receives the list alone (HeldKeys::Playback). A press that arrives during the pause may start a
// nested playback, which runs to its end inside the pause.
void opendo(HeldKeys& keys, const KeyCodeList& list, HotKeySuspension* suspension = nullptr);

// The same for a list as it is stored ("2|17|67"). A list that is not well formed plays nothing.
void opendo(HeldKeys& keys, std::wstring_view textall);

} // namespace hkv
