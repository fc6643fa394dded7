#pragma once
// Windows starts again, after a restart for an update or after an installer closed the programs
// that held its files (Restart Manager), only the programs that asked it to. This one asks, to
// come back armed as at sign-in, for as long as it runs; the user's own exit withdraws the request.
namespace hkv {

// Asks to be restarted with the armed start's argument; not after a crash or a hang, which
// Windows could repeat.
void RestartArmedAfterWindowsEndsIt();
// The user left the program: it stays gone.
void NoRestart();

} // namespace hkv
