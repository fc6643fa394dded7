// Each hostile settings file of tests/data/hostile_ini (listed with what must happen in its
// cases.txt) read by the program's own settings code: its good rows come out whole, its bad rows
// empty, and writing the hotkeys back as leaving does keeps everything the old file held. The real
// program starts for what needs a process of its own: a file another program holds, a read-only
// file, a conversion cut short by the end of the process, and rows that must really play.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/ticked_rows.h"
#include "common/decimal.h"
#include "common/system_error.h"
#include "common/win_handles.h"
#include "hotkeyctl/hotkey_capture.h"
#include "hotkeyctl/hotkey_store.h"
#include "keys/key_code_list.h"
#include "settings/modini.h"
#include "ui/notice.h"
#include "support/input.h"
#include "support/key_recorder.h"
#include "support/message_box_watcher.h"
#include "support/program_under_test.h"

using namespace hkv::test;
using hkv::DecimalText;

namespace {

// The largest file keeps the real program busy for long: its exit writes every hotkey into the
// converted 34 MB file, 11.4 s on two cores here while other work ran. These deadlines only tell a
// program that hangs from one that works slowly on a busy machine.
constexpr DWORD kBigFileWorkMs = 120000;

struct Case {
    std::string file, row1, row2, setup, armed = "1111111111";
};

std::string ReadCorpusFile(const std::string& name) {
    const auto bytes = ReadFileBytes(ExecutableFolder() + L"\\hostile_ini\\" +
                                     std::wstring(name.begin(), name.end()));
    return {bytes.begin(), bytes.end()};
}

// The lines of the table checked in the test (setup "-" or "played") or with the real program
// (any setup but "-").
std::vector<Case> Cases(bool withTheProgram) {
    std::istringstream lines(ReadCorpusFile("cases.txt"));
    std::vector<Case> cases;
    for (std::string line; std::getline(lines, line);) {
        Case c;
        std::istringstream(line) >> c.file >> c.row1 >> c.row2 >> c.setup >> c.armed;
        if (line.rfind('#', 0) != 0 && !c.setup.empty() &&
            (withTheProgram ? c.setup != "-" : c.setup == "-" || c.setup == "played")) {
            cases.push_back(c);
        }
    }
    return cases;
}

// Older than any size limit a settings tool might set: 17 MB of comment lines, then real rows.
std::string BigFile() {
    const std::string line = ";" + std::string(1021, 'z') + "\r\n";
    std::string big;
    for (int k = 0; k < 17 * 1024; ++k) {
        big += line;
    }
    return big + ReadCorpusFile("ansi_cp1252.ini");
}

std::string FileOf(const Case& c) {
    return c.file == "@big" ? BigFile() : ReadCorpusFile(c.file);
}

// Every key the profile routines read from the file, as the program reads it (cut to 254
// characters), by lower-case section and key.
using Keys = std::map<std::wstring, std::wstring>;
Keys ReadableKeys(const std::wstring& path) {
    constexpr DWORD kListChars = 1 << 22;
    std::vector<wchar_t> sections(kListChars), entries(kListChars);
    Keys keys;
    GetPrivateProfileSectionNamesW(sections.data(), kListChars, path.c_str());
    for (const wchar_t* s = sections.data(); *s; s += wcslen(s) + 1) {
        GetPrivateProfileSectionW(s, entries.data(), kListChars, path.c_str());
        for (const wchar_t* e = entries.data(); *e; e += wcslen(e) + 1) {
            const std::wstring key(e, wcscspn(e, L"="));
            wchar_t value[255] = {};
            GetPrivateProfileStringW(s, key.c_str(), L"", value, 255, path.c_str());
            keys[CharLowerW(std::wstring(s).data()) + std::wstring(L"]") +
                 CharLowerW(std::wstring(key).data())] = value;
        }
    }
    return keys;
}

std::wstring ValueOr(const Keys& keys, const std::wstring& key, std::wstring_view fallback) {
    const auto it = keys.find(key);
    return it == keys.end() ? std::wstring(fallback) : it->second;
}

// What the next start reads after leaving: every key as before, the hotkeys as the program held
// them, `shown` (a missing key reads as the program's default).
void ExpectEverythingKept(const Keys& before, const Keys& after,
                          const std::vector<std::wstring>& shown) {
    Keys expected = before;
    for (int n = 1; n <= hkv::ids::kRows; ++n) {
        const std::wstring name = L"velmo]velmo" + DecimalText(n);
        expected[name + L"text"] = shown[static_cast<std::size_t>(n - 1)];
        expected[name + L"keycode"] =
            DecimalText(hkv::StoredKeyCode(ValueOr(before, name + L"keycode", L"0")));
        expected[name + L"modkeycode"] =
            DecimalText(hkv::StoredModKeyCode(ValueOr(before, name + L"modkeycode", L"0")));
    }
    for (const auto& [key, value] : expected) {
        const std::wstring fallback(key.ends_with(L"text") ? hkv::kHotKeyPlaceholder : L"0");
        EXPECT_EQ(ValueOr(after, key, key.starts_with(L"velmo]") ? fallback : L"<missing>"), value)
            << Narrow(key) << " was " << Narrow(ValueOr(before, key, L"<missing>"));
    }
}

// Row n as the program reads it at start-up: its hotkey as the hotkey control restores it, and
// the keys its old shortcut plays (none for a list the player refuses).
std::string RowAsRead(int n, const hkv::CapturedHotKey& hotKey) {
    std::string row = "hotkey " + std::to_string(hotKey.keyCode) + "+" +
                      std::to_string(hotKey.modKeyCode) + ", plays";
    const auto list =
        hkv::ParseKeyCodeList(hkv::modINI::IniRead(L"conftooltip", DecimalText(n - 1), L""));
    for (int k = 0; list && k < list->count; ++k) {
        row += " " + std::to_string(list->codes[static_cast<std::size_t>(k)]);
    }
    return row;
}

// What a column of the table says row n reads as: row 1's hotkey is F8 and plays A, row 2's F9 and
// B; a refused row's hotkey reads as none, its shortcut still B.
std::string AsTheTableSays(const std::string& column, int n) {
    const bool hotKey = column == "plays" || column == "silent";
    const bool plays = column == "plays" || column == "refused";
    return "hotkey " + std::to_string(hotKey ? (n == 1 ? VK_F8 : VK_F9) : 0) + "+0, plays" +
           (plays ? " " + std::to_string(n == 1 ? 'A' : 'B') : "");
}

class HostileSettings : public testing::Test {
  protected:
    // Ticks the rows that play and plays them into a window of ours: F9 first, so that row 1's A
    // comes after anything row 2 played. (A line for the real program has row 1 "plays", row 2
    // "plays" or "-".)
    // `toldAtTicks`: the notices that the ticks bring (answered by `notices`).
    void PlayRows(const ProgramUnderTest& p, const Case& c, const MessageBoxWatcher& notices,
                  std::size_t toldAtTicks) {
        const bool both = c.row2 == "plays";
        // Ticked through the box's own notification, as a click reports it: a click would
        // activate the program just before the keys typed below (see FocusGuard).
        for (int row = 1; row <= (both ? 2 : 1); ++row) {
            ASSERT_TRUE(p.TickByNotification(row, true));
            ASSERT_TRUE(WaitUntil([&] {
                return SendMessageW(p.Check(row), BM_GETCHECK, 0, 0) == BST_CHECKED;
            })) << "row "
                << row;
        }
        ASSERT_TRUE(notices.WaitForCount(toldAtTicks));
        ASSERT_TRUE(
            WaitUntil([&] { return FindProcessWindow(p.Pid(), L"#32770", true) == nullptr; }));
        KeyRecorder target;
        ASSERT_TRUE(target.TakeFocus());
        FocusGuard guard(target);
        if (both) {
            ASSERT_TRUE(guard.Step([] { TapKey(VK_F9); },
                                   [&] { return Contains(target.keys(), 'B', true); }))
                << Describe(target.keys());
        }
        ASSERT_TRUE(
            guard.Step([] { TapKey(VK_F8); }, [&] { return Contains(target.keys(), 'A', true); }))
            << Describe(target.keys());
        std::vector<RecordedKey> played;
        std::copy_if(target.keys().begin(), target.keys().end(), std::back_inserter(played),
                     [](const RecordedKey& k) { return k.vk != VK_F8 && k.vk != VK_F9; });
        EXPECT_EQ(Describe(played), std::string(both ? "66v 66^ " : "") + "65v 65^ ");
    }

    // One file through the real program: a start, its rows played and an exit.
    void RunWithTheProgram(const Case& c) {
        ProgramUnderTest program(L"hostile");
        const std::wstring ini = program.IniPath();
        const std::wstring copy = ini + L".new";
        DeleteFileForced(copy);
        const std::string original = FileOf(c);
        ASSERT_TRUE(WriteFileBytes(ini, original));
        const Keys before = ReadableKeys(ini);

        if (c.setup == "killed") {
            // Ended while it writes the converted copy: the file is the old one or the whole new.
            ASSERT_TRUE(program.Start());
            ASSERT_TRUE(ClickOn(program.Control(hkv::ids::kImage3)));
            // On a busy machine this thread may miss the copy's short life: a file whose size
            // changed was converted already, and the same must hold of it.
            const auto converted = [&] {
                WIN32_FILE_ATTRIBUTE_DATA data{};
                return GetFileAttributesExW(ini.c_str(), GetFileExInfoStandard, &data) &&
                       (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow) !=
                           original.size();
            };
            ASSERT_TRUE(WaitUntil([&] { return FileExists(copy) || converted(); },
                                  std::chrono::milliseconds(kBigFileWorkMs)));
            program.Kill();
            const auto bytes = ReadFileBytes(ini);
            const bool old = std::string(bytes.begin(), bytes.end()) == original;
            std::printf("killed during the conversion: the file is the %s one\n",
                        old ? "old" : "new");
            const Keys now = ReadableKeys(ini);
            for (const auto& [key, value] : before) {
                if (!key.starts_with(L"velmo]")) {
                    EXPECT_EQ(ValueOr(now, key, L"<missing>"), value) << Narrow(key);
                }
            }
        }
        hkv::UniqueKernelHandle shared;
        if (c.setup == "shared") {
            HANDLE h =
                CreateFileW(ini.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(h, INVALID_HANDLE_VALUE);
            shared.reset(h);
        }
        if (c.setup == "readonly") {
            SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
        }

        ASSERT_TRUE(program.Start()) << "no window";
        MessageBoxWatcher notices(hkv::ui::kNoticeTitle, program.Pid());
        // The ticked row is news to a file that takes no writes: told once, at the tick, and not
        // again at the end.
        const bool unwritable = c.setup == "readonly";
        PlayRows(program, c, notices, unwritable ? 1u : 0u);
        std::vector<std::wstring> shown;
        for (int n = 1; n <= hkv::ids::kRows; ++n) {
            shown.push_back(TextOf(program.VelmoEdit(n)));
        }
        ASSERT_TRUE(ClickOn(program.Control(hkv::ids::kImage3)));
        ASSERT_TRUE(program.WaitForExit(kBigFileWorkMs)) << "the exit did not end the program";
        EXPECT_EQ(program.ExitCode(), 0u);
        const auto told = notices.Seen();
        ASSERT_EQ(told.size(), unwritable ? 1u : 0u);
        if (unwritable) {
            EXPECT_EQ(told[0].owner, program.Main());
            EXPECT_NE(told[0].text.find(ini + L"\r\n"), std::wstring::npos) << Narrow(told[0].text);
            EXPECT_NE(told[0].text.find(L"which rows are enabled"), std::wstring::npos);
            EXPECT_NE(told[0].text.find(hkv::SystemErrorText(ERROR_FILE_READ_ONLY)),
                      std::wstring::npos);
        }
        shared.reset();
        ExpectEverythingKept(before, ReadableKeys(ini), shown);
    }
};

} // namespace

TEST_F(HostileSettings, EachFileReadsGoodRowsWholeBadRowsEmptyAndKeepsEveryKeyWhenConverted) {
    const std::vector<Case> cases = Cases(false);
    ASSERT_GE(cases.size(), 30u) << "the table of hostile files is missing";
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[k];
        SCOPED_TRACE(c.file);
        // A file name of its own for each: the profile routines keep files they have read.
        const std::wstring name = L"hostile_" + DecimalText(static_cast<long long>(k)) + L".ini";
        const std::wstring path = ExecutableFolder() + L"\\" + name;
        DeleteFileForced(path);
        ASSERT_TRUE(WriteFileBytes(path, FileOf(c)));
        const Keys before = ReadableKeys(path);
        // The rows' hotkey controls restore their hotkeys as they load (the first fixes the
        // settings file) and save them as the program ends.
        hkv::VelmoProperties where;
        where.iniFileName = name;
        std::vector<hkv::CapturedHotKey> hotKeys;
        std::vector<std::wstring> shown;
        for (int n = 1; n <= hkv::ids::kRows; ++n) {
            hotKeys.push_back(hkv::RestoreHotKey(L"Velmo" + DecimalText(n), where));
            shown.push_back(hotKeys.back().text);
        }
        EXPECT_EQ(RowAsRead(1, hotKeys[0]), AsTheTableSays(c.row1, 1));
        EXPECT_EQ(RowAsRead(2, hotKeys[1]), AsTheTableSays(c.row2, 2));
        const hkv::RowSet armed = hkv::StoredTickedRows();
        std::string armedDigits;
        for (std::size_t i = 0; i < armed.size(); ++i) {
            armedDigits += armed[i] ? '1' : '0';
        }
        EXPECT_EQ(armedDigits, c.armed);
        // The placeholder text of an empty row, which no ANSI code page holds, makes an older
        // file Unicode.
        for (int n = 1; n <= hkv::ids::kRows; ++n) {
            EXPECT_TRUE(hkv::SaveHotKey(L"Velmo" + DecimalText(n), where,
                                        hotKeys[static_cast<std::size_t>(n - 1)]))
                << n;
        }
        ExpectEverythingKept(before, ReadableKeys(path), shown);
        const auto bytes = ReadFileBytes(path);
        EXPECT_TRUE(bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) << "not converted";
        EXPECT_FALSE(FileExists(path + L".new")) << "the converted copy was left behind";
        DeleteFileForced(path);
    }
}

TEST_F(HostileSettings, WithTheRealProgramGoodRowsPlayAndLeavingKeepsWhatWasReadable) {
    const std::vector<Case> cases = Cases(true);
    ASSERT_GE(cases.size(), 4u) << "the table's cases for the real program are missing";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + c.setup);
        RunWithTheProgram(c);
    }
}
