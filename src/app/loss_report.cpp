#include "app/loss_report.h"

#include <algorithm>
#include <utility>

#include "settings/modini.h"
#include "ui/key_bits.h"
#include "ui/notice.h"

namespace hkv {
namespace {

// The owner's timer that looks for the keys to be up; apart from the ones the tray icon uses.
constexpr UINT_PTR kKeysUpTimerId = 0x4C52;
// Often enough that the box follows the release at once as a person sees it.
constexpr UINT kKeysUpPollMs = 50;

bool IsMouseButton(int vk) {
    return vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON || vk == VK_XBUTTON1 ||
           vk == VK_XBUTTON2;
}

bool AnyKeyDown() {
    for (int vk = 1; vk <= 0xFE; ++vk) {
        if (!IsMouseButton(vk) && (GetAsyncKeyState(vk) & ui::kKeyDownNow) != 0) {
            return true;
        }
    }
    return false;
}

bool SameRowHotKey(const RowHotKey& a, const RowHotKey& b) {
    return a.row == b.row && a.hotKey == b.hotKey;
}

} // namespace

LossReport::LossReport(std::function<void()> beforeModalLoop)
    : beforeModalLoop_(std::move(beforeModalLoop)) {}

void LossReport::HotKeyWritten(HWND owner, const RowHotKey& row, const WriteOutcome& outcome) {
    // The row's last write is the one that counts: a later one that lands makes up for it.
    std::erase_if(untoldHotKeys_, [&](const LostHotKey& l) { return l.row.row == row.row; });
    if (!outcome) {
        untoldHotKeys_.push_back({row, outcome.Error()});
        WaitForKeysUp(owner);
    }
}

void LossReport::TicksWritten(HWND owner, const WriteOutcome& outcome) {
    if (outcome) {
        untoldTicks_.reset();
        return;
    }
    untoldTicks_ = outcome.Error();
    WaitForKeysUp(owner);
}

void LossReport::WaitForKeysUp(HWND owner) {
    if (toldThisRun_ || waiting_) {
        return;
    }
    waiting_ = SetTimer(owner, kKeysUpTimerId, kKeysUpPollMs, nullptr) != 0;
}

bool LossReport::OnTimer(HWND owner, UINT_PTR timerId) {
    if (timerId != kKeysUpTimerId) {
        return false;
    }
    if (!AnyKeyDown()) {
        StopWaiting(owner);
        if (!toldThisRun_ && (!untoldHotKeys_.empty() || untoldTicks_)) {
            toldThisRun_ = true;
            Tell(owner, untoldHotKeys_, std::exchange(untoldTicks_, std::nullopt));
        }
    }
    return true;
}

void LossReport::StopWaiting(HWND owner) {
    if (waiting_) {
        KillTimer(owner, kKeysUpTimerId);
        waiting_ = false;
    }
}

void LossReport::EndOfSession(HWND owner) {
    StopWaiting(owner);
    toldThisRun_ = true;
    sessionEnded_ = true;
}

void LossReport::TellAtExit(HWND owner, const std::vector<LostHotKey>& notKept,
                            const std::function<void()>& show) {
    StopWaiting(owner);
    if (sessionEnded_) {
        return;
    }
    std::vector<LostHotKey> untold;
    std::copy_if(
        notKept.begin(), notKept.end(), std::back_inserter(untold), [this](const LostHotKey& l) {
            return std::none_of(toldHotKeys_.begin(), toldHotKeys_.end(),
                                [&](const RowHotKey& t) { return SameRowHotKey(t, l.row); });
        });
    if (untold.empty() && !untoldTicks_) {
        return;
    }
    show();
    Tell(owner, untold, std::exchange(untoldTicks_, std::nullopt));
}

void LossReport::Tell(HWND owner, const std::vector<LostHotKey>& hotKeys,
                      std::optional<SystemError> ticks) {
    std::vector<RowHotKey> rows;
    std::vector<SystemError> reasons;
    for (const LostHotKey& l : hotKeys) {
        rows.push_back(l.row);
        reasons.push_back(l.error);
    }
    if (ticks) {
        reasons.push_back(*ticks);
    }
    toldHotKeys_.insert(toldHotKeys_.end(), rows.begin(), rows.end());
    untoldHotKeys_.clear();
    ui::ShowNotice(owner,
                   SettingsNotSavedText(modINI::IniFilePath(), rows, ticks.has_value(), reasons),
                   beforeModalLoop_);
}

} // namespace hkv
