// The real program given each hostile settings file of tests/data/hostile_ini (listed with what
// must happen in its cases.txt): it starts and shows its window, its good row plays, its bad rows
// play nothing, and leaving it writes a file that still reads everything the old one held.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/win_handles.h"
#include "hotkeyctl/hotkey_capture.h"
#include "support/input.h"
#include "support/key_recorder.h"
#include "support/message_box_watcher.h"
#include "support/program_under_test.h"

using namespace hkv::test;

namespace {

struct Case {
    std::string file, row1, row2, setup;
};

std::wstring CorpusPath(const std::string& name) {
    return ExecutableFolder() + L"\\hostile_ini\\" + std::wstring(name.begin(), name.end());
}

std::string ReadCorpusFile(const std::string& name) {
    const auto bytes = ReadFileBytes(CorpusPath(name));
    return {bytes.begin(), bytes.end()};
}

std::vector<Case> Cases() {
    std::istringstream lines(ReadCorpusFile("cases.txt"));
    std::vector<Case> cases;
    for (std::string line; std::getline(lines, line);) {
        Case c;
        if (line.rfind('#', 0) != 0 &&
            std::istringstream(line) >> c.file >> c.row1 >> c.row2 >> c.setup) {
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

class HostileSettings : public testing::Test {
  protected:
    bool IsChecked(const ProgramUnderTest& p, int row) {
        return SendMessageW(p.Check(row), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    // Ticks the rows the case arms and plays their hotkeys into a window of ours.
    void PlayRows(const ProgramUnderTest& p, const Case& c) {
        MessageBoxWatcher boxes(L"error", p.Pid());
        for (int row : {1, 2}) {
            const std::string& want = row == 1 ? c.row1 : c.row2;
            if (want == "-") {
                continue;
            }
            ASSERT_TRUE(ClickOn(p.Check(row)));
            if (want == "refused") {
                ASSERT_TRUE(boxes.WaitForCount(1)) << "row 2 of " << c.file << " was not refused";
                // The focus comes back to the check box once the message is gone.
                ASSERT_TRUE(WaitUntil([&] { return FocusOf(p.Main()) == p.Check(row); }));
                EXPECT_FALSE(IsChecked(p, row));
            } else {
                ASSERT_TRUE(WaitUntil([&] { return IsChecked(p, row); }))
                    << c.file << " row " << row;
            }
        }
        if (c.row1 != "plays") {
            return;
        }
        KeyRecorder target;
        ASSERT_TRUE(target.TakeFocus());
        // F9 first: a row that played anything would show it before row 1's A. A row that does
        // play ends before F8, or A would play inside its pause.
        const auto released = [&](int vk) {
            return WaitUntil([&] {
                return std::any_of(target.keys().begin(), target.keys().end(),
                                   [vk](const RecordedKey& k) { return k.vk == vk && k.up; });
            });
        };
        SendKey(VK_F9, false);
        SendKey(VK_F9, true);
        if (c.row2 == "plays") {
            ASSERT_TRUE(released('B')) << c.file << ": " << Describe(target.keys());
        }
        SendKey(VK_F8, false);
        SendKey(VK_F8, true);
        ASSERT_TRUE(released('A')) << c.file << ": " << Describe(target.keys());
        std::vector<RecordedKey> played;
        for (const auto& k : target.keys()) {
            if (k.vk != VK_F8 && k.vk != VK_F9) {
                played.push_back(k);
            }
        }
        EXPECT_EQ(Describe(played), std::string(c.row2 == "plays" ? "66v 66^ " : "") + "65v 65^ ")
            << c.file;
    }

    // One file through a start, its rows played and an exit.
    void RunCase(const Case& c) {
        ProgramUnderTest program(L"hostile");
        const std::wstring ini = program.IniPath();
        const std::wstring copy = ini + L".new";
        DeleteFileForced(copy);
        const std::string original = c.file == "@big" ? BigFile() : ReadCorpusFile(c.file);
        ASSERT_TRUE(WriteFileBytes(ini, original));
        const Keys before = ReadableKeys(ini);

        if (c.setup == "killed") {
            // Ended while it writes the converted copy: the file is the old one or the whole new.
            ASSERT_TRUE(program.Start());
            ASSERT_TRUE(ClickOn(program.Control(hkv::ids::kImage3)));
            ASSERT_TRUE(WaitUntil([&] { return FileExists(copy); }, std::chrono::seconds(20)));
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
        PlayRows(program, c);
        std::vector<std::wstring> shown;
        for (int n = 1; n <= 10; ++n) {
            shown.push_back(TextOf(program.VelmoEdit(n)));
        }
        ASSERT_TRUE(ClickOn(program.Control(hkv::ids::kImage3)));
        ASSERT_TRUE(program.WaitForExit(20000)) << "the exit did not end the program";
        DWORD code = 1;
        GetExitCodeProcess(program.Process(), &code);
        EXPECT_EQ(code, 0u);
        shared.reset();

        // What the next start reads: every key as before, the hotkeys as the program held them
        // (a missing key reads as the program's default).
        const Keys after = ReadableKeys(ini);
        Keys expected = before;
        for (int n = 1; n <= 10; ++n) {
            const std::wstring name = L"velmo]velmo" + std::to_wstring(n);
            expected[name + L"text"] = shown[static_cast<std::size_t>(n - 1)];
            expected[name + L"keycode"] =
                std::to_wstring(hkv::StoredKeyCode(ValueOr(before, name + L"keycode", L"0")));
            expected[name + L"modkeycode"] =
                std::to_wstring(hkv::StoredModKeyCode(ValueOr(before, name + L"modkeycode", L"0")));
        }
        for (const auto& [key, value] : expected) {
            const std::wstring fallback(key.ends_with(L"text") ? hkv::kHotKeyPlaceholder : L"0");
            EXPECT_EQ(ValueOr(after, key, key.starts_with(L"velmo]") ? fallback : L"<missing>"),
                      value)
                << Narrow(key) << " was " << Narrow(ValueOr(before, key, L"<missing>"));
        }
    }
};

} // namespace

TEST_F(HostileSettings, EachFileStartsItsGoodRowsPlayAndLeavingKeepsWhatWasReadable) {
    const std::vector<Case> cases = Cases();
    ASSERT_GE(cases.size(), 30u) << "the table of hostile files is missing";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + c.setup);
        RunCase(c);
    }
}
