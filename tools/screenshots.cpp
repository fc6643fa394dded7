// Takes the pictures of the user guide: starts the real program with a sample settings file in a
// folder of its own, uses it as a person would (clicks, key presses, the tray icon's right button)
// and saves each window as the screen shows it, as a 24-bit BMP (scripts/screenshots.sh turns the
// BMPs into the PNGs in docs/).
//
//     screenshots.exe <folder>
//
// main-window.bmp, editor.bmp, tray-menu.bmp, main-window-144dpi.bmp from a copy started while
// the screen is set to 150 %, and main-window-high-contrast.bmp from a copy drawing in high
// contrast with a dark scheme.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/scope_guard.h"
#include "common/win_handles.h"
#include "editor/composition.h"
#include "support/high_contrast_switch.h"
#include "support/input.h"
#include "support/program_under_test.h"
#include "support/screen_scale.h"
#include "support/window_watcher.h"
#include "tray/tray_icon.h"

using namespace hkv::test;
namespace ids = hkv::ids;

namespace {

// Four rows a person might keep: copy and paste on function keys, reopening a closed browser tab
// on Ctrl + F9 and the browser's Back on F11; all but the last ticked in the picture.
constexpr char kSampleIni[] = "[conftext]\r\n"
                              "0=Ctrl + C\r\n"
                              "1=Ctrl + V\r\n"
                              "2=Ctrl + Shift + T\r\n"
                              "3=Alt + LEFT\r\n"
                              "[conftooltip]\r\n"
                              "0=2|17|67\r\n"
                              "1=2|17|86\r\n"
                              "2=3|17|16|84\r\n"
                              "3=2|18|37\r\n"
                              "[Velmo]\r\n"
                              "Velmo1KeyCode=120\r\nVelmo1ModKeyCode=0\r\n"
                              "Velmo2KeyCode=121\r\nVelmo2ModKeyCode=0\r\n"
                              "Velmo3KeyCode=120\r\nVelmo3ModKeyCode=2\r\n"
                              "Velmo4KeyCode=122\r\nVelmo4ModKeyCode=0\r\n";
constexpr int kTickedRows = 3;
// The row opened in the editor, and the picks that make its old shortcut.
constexpr int kEditedRow = 3;
const wchar_t* const kEditedPicks[] = {L"Ctrl", L"Shift", L"T"};
const int kPickLists[] = {ids::kLovea, ids::kLovek, ids::kLovem};

// Where the pointer rests while a picture is taken: on the bare screen, so that no control shows
// a hover state or a tooltip.
constexpr POINT kPointerAside{4, 4};
// Where the tray menu opens: the shell opens it at the pointer, beside the icon.
constexpr POINT kTrayMenuAt{520, 360};

// 150 %: the scale people set on a high-resolution laptop screen.
constexpr DWORD kLargeScaleDpi = 144;

std::vector<unsigned char> Grab(const RECT& r) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    const hkv::ScopeGuard releaseScreen([screen] { ReleaseDC(nullptr, screen); });
    HDC memory = CreateCompatibleDC(screen);
    const hkv::ScopeGuard deleteMemory([memory] { DeleteDC(memory); });
    const hkv::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, w, h));
    bool copied = false;
    {
        const HGDIOBJ old = SelectObject(memory, bitmap.get());
        const hkv::ScopeGuard deselect([memory, old] { SelectObject(memory, old); });
        copied = BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != FALSE;
    }
    // Read once the bitmap is out of the DC again, as GetDIBits wants it.
    std::vector<unsigned char> pixels;
    if (copied) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        const int stride = (w * 3 + 3) & ~3;
        pixels.resize(static_cast<std::size_t>(stride) * h);
        if (!GetDIBits(memory, bitmap.get(), 0, h, pixels.data(), &info, DIB_RGB_COLORS)) {
            pixels.clear();
        }
    }
    return pixels;
}

// Saves what the screen shows in the rectangle once two grabs in a row agree: the window has
// painted everything the last input changed. The pointer goes aside first unless it must stay
// where it is.
bool Save(const RECT& r, const std::wstring& path, bool pointerAside = true) {
    if (pointerAside) {
        MoveMouseTo(kPointerAside);
    }
    std::vector<unsigned char> last;
    std::vector<unsigned char> now;
    if (!WaitUntil([&] {
            now = Grab(r);
            const bool settled = !now.empty() && now == last;
            last = now;
            return settled;
        })) {
        std::fprintf(stderr, "the picture %ls did not settle\n", path.c_str());
        return false;
    }
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{sizeof info, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + now.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(reinterpret_cast<const char*>(now.data()), now.size());
    return WriteFileBytes(path, bytes);
}

RECT RectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

bool TickRows(ProgramUnderTest& program) {
    for (int n = 1; n <= kTickedRows; ++n) {
        if (!ClickOn(program.Check(n)) || !WaitUntil([&] {
                return SendMessageW(program.Check(n), BM_GETCHECK, 0, 0) == BST_CHECKED;
            })) {
            std::fprintf(stderr, "row %d did not tick\n", n);
            return false;
        }
    }
    return true;
}

// Picks a name in one of the editor's lists with the arrow keys, as a person on the keyboard does.
bool Pick(HWND editor, int listId, const wchar_t* name) {
    HWND list = FindDescendant(editor, listId);
    const auto& entries = hkv::editor::KeyListEntries();
    int target = 0;
    while (target < static_cast<int>(entries.size()) && entries[target] != name) {
        ++target;
    }
    RECT r = RectOf(list);
    if (!ClickOn(list, {r.left + 12, r.top + (r.bottom - r.top) / 2}) ||
        !WaitUntil([&] { return IsChild(list, FocusOf(editor)); })) {
        return false;
    }
    const auto selected = [&] { return static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)); };
    for (int n = target - selected(); n > 0; --n) {
        TapKey(VK_DOWN);
    }
    return WaitUntil([&] { return selected() == target; });
}

bool EditorPicture(ProgramUnderTest& program, const std::wstring& folder) {
    if (!ClickOn(program.Text1(kEditedRow - 1))) {
        return false;
    }
    HWND editor = nullptr;
    if (!WaitUntil([&] {
            editor = program.Editor();
            return editor && IsWindowVisible(editor) && InputTaken(editor);
        })) {
        std::fprintf(stderr, "the editor did not open\n");
        return false;
    }
    for (std::size_t k = 0; k < std::size(kEditedPicks); ++k) {
        if (!Pick(editor, kPickLists[k], kEditedPicks[k])) {
            std::fprintf(stderr, "could not pick %ls\n", kEditedPicks[k]);
            return false;
        }
    }
    if (!Save(RectOf(editor), folder + L"\\editor.bmp")) {
        return false;
    }
    return ClickOn(FindDescendant(editor, ids::kLabel1)) &&
           WaitUntil([&] { return IsWindowVisible(program.Main()) && InputTaken(program.Main()); });
}

// The window hidden into the tray with its minimise image, then the icon's menu with its "关于"
// submenu open, as a right click on the icon and a pointer on the item leave it.
bool TrayMenuPicture(ProgramUnderTest& program, const std::wstring& folder) {
    if (!ClickOn(program.Control(ids::kImage2)) ||
        !WaitUntil([&] { return !IsWindowVisible(program.Main()); })) {
        std::fprintf(stderr, "the window did not hide into the tray\n");
        return false;
    }
    MoveMouseTo(kTrayMenuAt);
    PostMessageW(program.Main(), hkv::kTrayCallbackMessage, 0, MAKELPARAM(WM_RBUTTONUP, 0));
    HWND menu = nullptr;
    if (!WaitUntil([&] {
            menu = FindProcessWindow(program.Pid(), L"#32768", true);
            return menu != nullptr;
        })) {
        std::fprintf(stderr, "the tray menu did not open\n");
        return false;
    }
    // "关于" is the third of the menu's four items.
    const RECT m = RectOf(menu);
    const POINT about{m.left + (m.right - m.left) / 3, m.top + (m.bottom - m.top) * 5 / 8};
    HWND submenu = nullptr;
    if (!WaitUntil([&] {
            MoveMouseTo(about);
            std::vector<HWND> windows;
            EnumWindows(&TopLevelWindowWatcher::CollectWindow, reinterpret_cast<LPARAM>(&windows));
            for (HWND w : windows) {
                if (w != menu && IsWindowVisible(w) && ProcessOf(w) == program.Pid() &&
                    ClassNameOf(w) == L"#32768") {
                    submenu = w;
                }
            }
            return submenu != nullptr;
        })) {
        std::fprintf(stderr, "the submenu did not open\n");
        return false;
    }
    RECT both{};
    const RECT s = RectOf(submenu);
    UnionRect(&both, &m, &s);
    // The pointer stays on "关于", which keeps its submenu open.
    return Save(both, folder + L"\\tray-menu.bmp", false);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    SetProcessDPIAware(); // window places in the screen's own pixels, at any scale
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots <folder>\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    bool ok = false;
    {
        ProgramUnderTest program(L"screenshots");
        ok = program.WriteIni(kSampleIni) && program.Start() && TickRows(program) &&
             Save(RectOf(program.Main()), folder + L"\\main-window.bmp") &&
             EditorPicture(program, folder) && TrayMenuPicture(program, folder);
    }
    if (ok) {
        ScreenScale scale(kLargeScaleDpi);
        ProgramUnderTest program(L"screenshots144");
        ok = program.WriteIni(kSampleIni) && program.Start() && TickRows(program) &&
             Save(RectOf(program.Main()), folder + L"\\main-window-144dpi.bmp");
    }
    if (ok) {
        const DarkScheme scheme;
        ProgramUnderTest program(L"screenshotsHighContrast");
        const std::wstring programFolder =
            program.IniPath().substr(0, program.IniPath().find_last_of(L'\\') + 1);
        ok = WriteFileBytes(programFolder + kHighContrastFile, "on") &&
             program.WriteIni(kSampleIni) && program.Start() && TickRows(program) &&
             Save(RectOf(program.Main()), folder + L"\\main-window-high-contrast.bmp");
    }
    return ok ? 0 : 1;
}
