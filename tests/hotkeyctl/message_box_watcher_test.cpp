// The message-box watcher on boxes of another process, where icon handles mean nothing: this test
// program starts itself again to show them.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>

#include "common/win_handles.h"
#include "support/message_box_watcher.h"
#include "support/win_test_util.h"

using namespace hkv;
using namespace hkv::test;

namespace {

constexpr wchar_t kProbeTitle[] = L"hkv watcher probe";

struct Child {
    UniqueKernelHandle process;
    DWORD id = 0;
};

// Runs the disabled case below in a new process of this program.
Child StartBoxShowingChild() {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) +
                           L"\" --gtest_also_run_disabled_tests "
                           L"--gtest_filter=MessageBoxWatcherChild.DISABLED_ShowsTwoBoxes";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return {};
    }
    UniqueKernelHandle thread(info.hThread);
    return {UniqueKernelHandle(info.hProcess), info.dwProcessId};
}

DWORD ExitCodeAfterEnd(const Child& child) {
    WaitUntil([&] { return WaitForSingleObject(child.process.get(), 0) == WAIT_OBJECT_0; },
              std::chrono::seconds(20));
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(child.process.get(), &code);
    return code;
}

void ExpectTheChildsBoxes(const MessageBoxWatcher& boxes, DWORD childId) {
    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, L"stop from another process");
    EXPECT_EQ(seen[0].icon, MessageBoxIcon::Hand);
    EXPECT_EQ(seen[1].text, L"question from another process");
    EXPECT_EQ(seen[1].icon, MessageBoxIcon::Question);
    for (const SeenMessageBox& box : seen) {
        EXPECT_EQ(box.title, kProbeTitle);
        EXPECT_EQ(box.processId, childId);
        EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"});
    }
}

} // namespace

// Not run on its own: the process the cases below start shows these boxes.
TEST(MessageBoxWatcherChild, DISABLED_ShowsTwoBoxes) {
    EXPECT_EQ(MessageBoxW(nullptr, L"stop from another process", kProbeTitle, MB_ICONHAND | MB_OK),
              IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, L"question from another process", kProbeTitle,
                          MB_ICONQUESTION | MB_OK),
              IDOK);
}

TEST(MessageBoxWatcher, AnswersTheBoxesOfAGivenProcessOnly) {
    MessageBoxWatcher mine(kProbeTitle); // this process: must see nothing
    Child child = StartBoxShowingChild();
    ASSERT_TRUE(child.process) << "could not start the child, error " << GetLastError();
    MessageBoxWatcher boxes(kProbeTitle, child.id);
    ASSERT_TRUE(boxes.WaitForCount(2, std::chrono::seconds(20)))
        << "boxes answered: " << boxes.Count();
    EXPECT_EQ(ExitCodeAfterEnd(child), 0u) << "the child's boxes were not answered with OK";
    ExpectTheChildsBoxes(boxes, child.id);
    EXPECT_EQ(mine.Count(), 0u);
}

TEST(MessageBoxWatcher, AnswersTheBoxesOfAnyProcess) {
    MessageBoxWatcher boxes(kProbeTitle, MessageBoxWatcher::kAnyProcess);
    Child child = StartBoxShowingChild();
    ASSERT_TRUE(child.process) << "could not start the child, error " << GetLastError();
    ASSERT_TRUE(boxes.WaitForCount(2, std::chrono::seconds(20)))
        << "boxes answered: " << boxes.Count();
    EXPECT_EQ(ExitCodeAfterEnd(child), 0u);
    ExpectTheChildsBoxes(boxes, child.id);
}
