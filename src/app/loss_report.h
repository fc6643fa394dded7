#pragma once
// What the settings file did not take while the program runs, told to the user while they can
// still act on it: once per run, as soon as no key is down (a box opened while keys are held in a
// hotkey box would take their releases), and at the exit only what was not told then. The end of
// the session tells nothing: no one can answer a box then, and Windows would wait on it.
#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "app/notices.h"
#include "common/system_error.h"

namespace hkv {

// A row's hotkey the file did not take, and why.
struct LostHotKey {
    RowHotKey row;
    SystemError error = 0;
};

class LossReport {
  public:
    // beforeModalLoop runs before a box opens.
    explicit LossReport(std::function<void()> beforeModalLoop);

    // A row's hotkey was written as the user settled it in its box (owner: the main window,
    // whose timer waits for the keys to come up).
    void HotKeyWritten(HWND owner, const RowHotKey& row, const WriteOutcome& outcome);
    // The ticks were written at a click on a row's tick box.
    void TicksWritten(HWND owner, const WriteOutcome& outcome);
    // The owner's WM_TIMER: true when the timer was this one's.
    bool OnTimer(HWND owner, UINT_PTR timerId);

    // The session ends: nothing is told any more, not even what waits for the keys to come up,
    // nor at the exit.
    void EndOfSession(HWND owner);

    // The exit, the window still there: the hotkeys the file did not take now. Tells what was not
    // told already, after `show` has brought the window up so that it can be read from it; after
    // the end of the session, nothing.
    void TellAtExit(HWND owner, const std::vector<LostHotKey>& notKept,
                    const std::function<void()>& show);

  private:
    void WaitForKeysUp(HWND owner);
    void StopWaiting(HWND owner);
    // Tells what is untold and counts it as told.
    void Tell(HWND owner, const std::vector<LostHotKey>& hotKeys, std::optional<SystemError> ticks);

    const std::function<void()> beforeModalLoop_;
    bool toldThisRun_ = false;
    bool sessionEnded_ = false;
    bool waiting_ = false;
    std::vector<LostHotKey> untoldHotKeys_; // one per row, the last write's
    std::optional<SystemError> untoldTicks_;
    std::vector<RowHotKey> toldHotKeys_;
};

} // namespace hkv
