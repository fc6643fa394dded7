// The control's properties, its stored properties and the saving and restoring of its hotkey in
// set.ini or in the registry.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "common/app_error.h"
#include "common/scope_guard.h"
#include "common/win_handles.h"
#include "hotkeyctl/hotkey_capture.h"
#include "hotkeyctl/modsubclass.h"
#include "hotkeyctl/registry_settings.h"
#include "hotkeyctl/velmo.h"
#include "settings/modini.h"
#include "velmo_test_host.h"

using namespace hkv;
using namespace hkv::test;

namespace {

constexpr wchar_t kRegApplication[] = L"HkvVelmoTest";

std::wstring ProfileValue(const std::wstring& path, const std::wstring& key) {
    wchar_t buffer[256] = {};
    GetPrivateProfileStringW(L"Velmo", key.c_str(), L"<absent>", buffer, 256, path.c_str());
    return buffer;
}

std::vector<std::wstring> Names(const PropertyBag& bag) {
    std::vector<std::wstring> names;
    for (const auto& entry : bag.Entries()) {
        names.push_back(entry.first);
    }
    return names;
}

bool IsHooked(HWND edit) {
    return GetWindowLongPtrW(edit, GWLP_WNDPROC) ==
           reinterpret_cast<LONG_PTR>(&modSubClass::EditBoxProc);
}

// The colours the control gives its edit box when the box asks before painting.
struct Paint {
    COLORREF brush;
    COLORREF background;
    COLORREF text;
};
Paint PaintOf(const Velmo& velmo, UINT message = WM_CTLCOLOREDIT) {
    HDC dc = CreateCompatibleDC(nullptr);
    ScopeGuard release([dc] { DeleteDC(dc); });
    auto brush =
        reinterpret_cast<HBRUSH>(SendMessageW(velmo.Window(), message, reinterpret_cast<WPARAM>(dc),
                                              reinterpret_cast<LPARAM>(velmo.EditBox())));
    LOGBRUSH logBrush{};
    GetObjectW(brush, sizeof logBrush, &logBrush);
    return {logBrush.lbColor, GetBkColor(dc), GetTextColor(dc)};
}

LOGFONTW FontOf(HWND edit) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

std::wstring ToolTipTextOf(HWND toolTip, HWND owner, HWND tool) {
    wchar_t buffer[256] = {};
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = buffer;
    SendMessageW(toolTip, TTM_GETTEXTW, std::size(buffer), reinterpret_cast<LPARAM>(&info));
    return buffer;
}

class VelmoSettings : public VelmoTest {
  protected:
    void SetUp() override {
        VelmoTest::SetUp();
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + std::wstring(kRegApplication)).c_str());
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + std::wstring(kRegApplication)).c_str());
        VelmoTest::TearDown();
    }

    static PropertyBag RegistryBag() {
        PropertyBag bag = MainWindowBag();
        bag.Set(L"SettingLocation", std::int64_t{1});
        bag.Set(L"RegKeyName", std::wstring(kRegApplication));
        return bag;
    }

    static std::wstring RegistryValue(const std::wstring& name, DWORD* type = nullptr) {
        wchar_t buffer[256] = {};
        DWORD bytes = sizeof buffer;
        const std::wstring key = L"Software\\" + std::wstring(kRegApplication) + L"\\Velmo";
        if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY, type, buffer,
                         &bytes) != ERROR_SUCCESS) {
            return L"<absent>";
        }
        return buffer;
    }

    void CaptureByKeys(Velmo& velmo, std::initializer_list<WORD> combination) {
        ASSERT_TRUE(host_.Focus(velmo.EditBox()));
        Press(combination);
        ASSERT_TRUE(host_.Focus(host_.Other()));
    }
};

} // namespace

TEST_F(VelmoSettings, AKillBetweenTheThreeWritesLeavesAHotKeyThatShowsWhatItRegisters) {
    // A save's writes in their order, stopped after the first or the second: the file a crash or
    // a kill leaves behind.
    const struct {
        CapturedHotKey before, saving, shown;
        int written;
    } kills[] = {
        {{L"F8", 119, 0}, {L"Ctrl + Shift + Z", 90, 6}, {L"F8", 119, 0}, 1},
        {{L"F8", 119, 0}, {L"Ctrl + Shift + Z", 90, 6}, {L"Z", 90, 0}, 2},
        {{L"Ctrl + Shift + Z", 90, 6}, {kPlaceholder, 0, 0}, {L"Ctrl + Shift + Z", 90, 6}, 1},
        {{L"Ctrl + Shift + Z", 90, 6}, {kPlaceholder, 0, 0}, {kPlaceholder, 0, 0}, 2},
    };
    int slot = 0;
    for (const auto& kill : kills) {
        ASSERT_TRUE(WriteFileBytes(SetIniPath(), "\xFF\xFE")); // Unicode, as the program makes it
        WriteSavedHotKey(L"Velmo2", kill.before.text, std::to_wstring(kill.before.keyCode),
                         std::to_wstring(kill.before.modKeyCode));
        const std::pair<const wchar_t*, std::wstring> writes[] = {
            {L"Velmo2Text", kill.saving.text},
            {L"Velmo2KeyCode", std::to_wstring(kill.saving.keyCode)},
            {L"Velmo2ModKeyCode", std::to_wstring(kill.saving.modKeyCode)}};
        for (int w = 0; w < kill.written; ++w) {
            WritePrivateProfileStringW(L"Velmo", writes[w].first, writes[w].second.c_str(),
                                       SetIniPath().c_str());
        }
        VelmoEventLog log;
        auto velmo = host_.Load(L"Velmo2", MainWindowBag(), log, HostMode::User, slot++);
        EXPECT_EQ(velmo->Text(), kill.shown.text) << kill.written << " written";
        EXPECT_EQ(velmo->KeyCode(), kill.shown.keyCode) << kill.written << " written";
        EXPECT_EQ(velmo->ModKeyCode(), kill.shown.modKeyCode) << kill.written << " written";
    }
}

TEST_F(VelmoSettings, LoadRestoresTheHotKeySavedUnderTheInstanceName) {
    WriteSavedHotKey(L"Velmo7", L"Ctrl + Alt + K", L"75", L"3");
    WriteSavedHotKey(L"Velmo3", L"F1", L"75", L"0"); // disagreeing: the codes win
    modINI::IniSetFile(L"elsewhere.ini");
    auto seventh = host_.Load(L"Velmo7", MainWindowBag(), log_);
    EXPECT_EQ(modINI::IniFilePath(), SetIniPath()) << "loading fixes the settings file";
    EXPECT_EQ(seventh->Text(), L"Ctrl + Alt + K");
    EXPECT_EQ(seventh->KeyCode(), 75);
    EXPECT_EQ(seventh->ModKeyCode(), 3);
    EXPECT_FALSE(seventh->HotKeyEnabled());

    VelmoEventLog other;
    auto third = host_.Load(L"Velmo3", MainWindowBag(), other, HostMode::User, 1);
    EXPECT_EQ(third->Text(), L"K");
    EXPECT_EQ(third->KeyCode(), 75);
    EXPECT_EQ(third->ModKeyCode(), 0);

    VelmoEventLog absent;
    auto first = host_.Load(L"Velmo1", MainWindowBag(), absent, HostMode::User, 2);
    EXPECT_EQ(first->Text(), kPlaceholder);
    EXPECT_EQ(first->KeyCode(), 0);
    EXPECT_EQ(first->ModKeyCode(), 0);
}

TEST_F(VelmoSettings, SavedHotKeyComesBackAfterARestart) {
    auto velmo = host_.Load(L"Velmo7", MainWindowBag(), log_);
    CaptureByKeys(*velmo, {VK_CONTROL, VK_MENU, 'K'});
    const std::wstring shown = velmo->Text();
    ASSERT_EQ(shown, L"Ctrl + Alt + " + SystemKeyName('K'));
    velmo->SetHotKeyEnabled(true);
    EXPECT_TRUE(velmo->SaveSettings());
    EXPECT_EQ(ProfileValue(SetIniPath(), L"Velmo7Text"), shown);
    EXPECT_EQ(ProfileValue(SetIniPath(), L"Velmo7KeyCode"), L"75");
    EXPECT_EQ(ProfileValue(SetIniPath(), L"Velmo7ModKeyCode"), L"3");
    EXPECT_EQ(ProfileValue(SetIniPath(), L"Velmo7HotKeyEnabled"), L"<absent>");

    // An instance holding nothing writes its three keys too.
    VelmoEventLog emptyLog;
    auto empty = host_.Load(L"Velmo10", MainWindowBag(), emptyLog, HostMode::User, 1);
    empty->SaveSettings();
    EXPECT_EQ(ProfileValue(SetIniPath(), L"Velmo10Text"), kPlaceholder);
    EXPECT_EQ(ProfileValue(SetIniPath(), L"Velmo10KeyCode"), L"0");
    EXPECT_EQ(ProfileValue(SetIniPath(), L"Velmo10ModKeyCode"), L"0");

    // A file that takes no writes keeps what it holds already, and says so; a new one is lost.
    ASSERT_TRUE(SetFileAttributesW(SetIniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(velmo->SaveSettings());
    CaptureByKeys(*velmo, {VK_F6});
    EXPECT_FALSE(velmo->SaveSettings());
    SetFileAttributesW(SetIniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    velmo.reset();
    velmo = host_.Load(L"Velmo7", MainWindowBag(), log_);
    EXPECT_EQ(velmo->Text(), shown);
    EXPECT_EQ(velmo->KeyCode(), 'K');
    EXPECT_EQ(velmo->ModKeyCode(), 3);
    EXPECT_FALSE(velmo->HotKeyEnabled()) << "registration is never restored";
}

TEST_F(VelmoSettings, SavedNumbersThatAreNotIntegersRestoreAsZero) {
    // (The profile routines strip blanks around a value; the registry case below keeps them.)
    const wchar_t* garbage[] = {L"abc", L"", L"99999999999", L"7.5", L"+5", L"0x41"};
    for (const wchar_t* value : garbage) {
        WriteSavedHotKey(L"Velmo1", L"Ctrl + A", value, value);
        auto velmo = host_.Load(L"Velmo1", MainWindowBag(), log_);
        EXPECT_EQ(velmo->KeyCode(), 0) << Narrow(value);
        EXPECT_EQ(velmo->ModKeyCode(), 0) << Narrow(value);
        EXPECT_EQ(velmo->Text(), kPlaceholder) << "shows a hotkey it cannot register";
    }
    WriteSavedHotKey(L"Velmo1", L"Shift + F3", L"114", L"4");
    auto velmo = host_.Load(L"Velmo1", MainWindowBag(), log_);
    EXPECT_EQ(velmo->KeyCode(), 114);
    EXPECT_EQ(velmo->ModKeyCode(), 4);
}

TEST_F(VelmoSettings, AClearedHotKeyIsSavedWholeOrNotAtAll) {
    // An ANSI file of an earlier run, held by a program that lets it be written but not replaced:
    // the placeholder's text needs the file in Unicode, so none of the three values may go.
    WriteSavedHotKey(L"Velmo7", L"Ctrl + Alt + K", L"75", L"3");
    auto velmo = host_.Load(L"Velmo7", MainWindowBag(), log_);
    ASSERT_TRUE(host_.Focus(velmo->EditBox()));
    HANDLE held =
        CreateFileW(SetIniPath().c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Press({VK_SHIFT}); // a modifier pressed and released alone clears the box, written at once
    ASSERT_EQ(velmo->Text(), kPlaceholder);
    velmo->SaveSettings();
    CloseHandle(held);
    EXPECT_EQ(ProfileValue(SetIniPath(), L"Velmo7Text"), L"Ctrl + Alt + K");
    EXPECT_EQ(ProfileValue(SetIniPath(), L"Velmo7KeyCode"), L"75");
    EXPECT_EQ(ProfileValue(SetIniPath(), L"Velmo7ModKeyCode"), L"3");
}

TEST_F(VelmoSettings, RegistryStoreKeepsTheHotKeyAndLeavesTheSettingsFileAlone) {
    const std::wstring elsewhere = ExecutableFolder() + L"\\elsewhere.ini";
    DeleteFileForced(elsewhere);
    ScopeGuard removeFile([&] { DeleteFileForced(elsewhere); });
    modINI::IniSetFile(L"elsewhere.ini");
    WritePrivateProfileStringW(L"Velmo", L"Velmo5KeyCode", L"65", elsewhere.c_str());

    auto velmo = host_.Load(L"Velmo5", RegistryBag(), log_);
    EXPECT_EQ(modINI::IniFilePath(), elsewhere) << "the control set the settings file";
    EXPECT_EQ(velmo->KeyCode(), 0) << "read from the settings file";
    EXPECT_EQ(velmo->Text(), kPlaceholder);

    CaptureByKeys(*velmo, {VK_CONTROL, VK_SHIFT, 'J'});
    velmo->SaveSettings();
    DWORD type = 0;
    EXPECT_EQ(RegistryValue(L"Velmo5Text", &type), L"Ctrl + Shift + " + SystemKeyName('J'));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(RegistryValue(L"Velmo5KeyCode", &type), L"74");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(RegistryValue(L"Velmo5ModKeyCode"), L"6");
    EXPECT_EQ(ProfileValue(elsewhere, L"Velmo5KeyCode"), L"65");
    EXPECT_FALSE(FileExists(SetIniPath()));

    velmo.reset();
    velmo = host_.Load(L"Velmo5", RegistryBag(), log_);
    EXPECT_EQ(velmo->Text(), L"Ctrl + Shift + " + SystemKeyName('J'));
    EXPECT_EQ(velmo->KeyCode(), 'J');
    EXPECT_EQ(velmo->ModKeyCode(), 6);

    // A damaged or foreign value restores as nothing captured.
    WriteRegistrySetting(kRegApplication, L"Velmo", L"Velmo6KeyCode", L" 5");
    const std::wstring key = RegistrySettingsKey(kRegApplication, L"Velmo");
    const DWORD three = 3;
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Velmo6ModKeyCode", REG_DWORD, &three,
                    sizeof three);
    VelmoEventLog sixthLog;
    auto sixth = host_.Load(L"Velmo6", RegistryBag(), sixthLog, HostMode::User, 1);
    EXPECT_EQ(sixth->KeyCode(), 0);
    EXPECT_EQ(sixth->ModKeyCode(), 0);
    EXPECT_EQ(sixth->Text(), kPlaceholder);
}

TEST_F(VelmoSettings, RunTimeWritesOfTheStoreSettingsAreRefused) {
    auto velmo = host_.Load(L"Velmo1", MainWindowBag(), log_);
    const std::wstring path = modINI::IniFilePath();
    auto expectRefusal = [](const std::function<void()>& write, const char* what) {
        try {
            write();
            ADD_FAILURE() << what << " was accepted";
        } catch (const AppError& error) {
            EXPECT_EQ(error.number(), 382) << what;
            EXPECT_EQ(error.source(), L"Velmo") << what;
            EXPECT_FALSE(error.description().empty()) << what;
        }
    };
    expectRefusal([&] { velmo->SetINIFileName(L"other.ini"); }, "INIFileName");
    expectRefusal([&] { velmo->SetSettingLocation(1); }, "SettingLocation");
    expectRefusal([&] { velmo->SetRegKeyName(L"Other"); }, "RegKeyName");
    EXPECT_EQ(velmo->INIFileName(), L"set.ini");
    EXPECT_EQ(velmo->SettingLocation(), 0);
    EXPECT_EQ(velmo->RegKeyName(), L"Velmo");
    EXPECT_EQ(modINI::IniFilePath(), path);
    EXPECT_TRUE(log_.changed.empty());
}

TEST_F(VelmoSettings, DesignModeShowsTheStoredTextAndAcceptsStoreSettings) {
    WriteSavedHotKey(L"Velmo1", L"Ctrl + A", L"65", L"2");
    modINI::IniSetFile(L"before.ini");
    PropertyBag bag = MainWindowBag();
    bag.Set(L"Text", std::wstring(L"设计文本"));
    auto velmo = host_.Load(L"Velmo1", bag, log_, HostMode::Design);
    EXPECT_EQ(velmo->Text(), L"设计文本");
    EXPECT_EQ(velmo->KeyCode(), 0) << "design mode read the settings";
    EXPECT_EQ(velmo->HotKeyWindow(), nullptr);
    EXPECT_FALSE(IsHooked(velmo->EditBox()));
    EXPECT_EQ(modINI::IniFilePath(), ExecutableFolder() + L"\\before.ini");

    velmo->SetINIFileName(L"design.ini");
    velmo->SetSettingLocation(2);
    velmo->SetRegKeyName(L"Brevin");
    EXPECT_EQ(velmo->INIFileName(), L"design.ini");
    EXPECT_EQ(velmo->SettingLocation(), 2);
    EXPECT_EQ(velmo->RegKeyName(), L"Brevin");
    EXPECT_EQ(modINI::IniFilePath(), ExecutableFolder() + L"\\design.ini");
    EXPECT_EQ(log_.changed,
              (std::vector<std::wstring>{L"INIFileName", L"SettingLocation", L"RegKeyName"}));

    PropertyBag saved;
    velmo->SaveProperties(saved);
    EXPECT_EQ(Names(saved),
              (std::vector<std::wstring>{L"BackColor", L"Font", L"BorderStyle", L"INIFileName",
                                         L"SettingLocation", L"RegKeyName"}));

    VelmoEventLog plainLog;
    auto plain = host_.Load(L"Velmo2", MainWindowBag(), plainLog, HostMode::Design, 1);
    EXPECT_EQ(plain->Text(), kPlaceholder);
}

TEST_F(VelmoSettings, CreateNewPlacesAControlWithoutWindowHooksOrSettings) {
    WriteSavedHotKey(L"Velmo1", L"Ctrl + A", L"65", L"2");
    modINI::IniSetFile(L"before.ini");
    auto velmo = host_.CreateNew(L"Velmo1", log_);
    EXPECT_EQ(velmo->Text(), kPlaceholder);
    EXPECT_EQ(velmo->KeyCode(), 0);
    EXPECT_EQ(velmo->HotKeyWindow(), nullptr);
    EXPECT_FALSE(IsHooked(velmo->EditBox()));
    EXPECT_EQ(modINI::IniFilePath(), ExecutableFolder() + L"\\before.ini");
    EXPECT_EQ(velmo->INIFileName(), L"set.ini");
    EXPECT_EQ(velmo->SettingLocation(), 0);
    EXPECT_EQ(velmo->RegKeyName(), L"Velmo");
    EXPECT_EQ(velmo->BackColor(), 0x80000005u);
    EXPECT_EQ(velmo->BorderStyle(), 1);
    PropertyBag saved;
    velmo->SaveProperties(saved);
    EXPECT_TRUE(saved.Entries().empty()) << Names(saved).size() << " non-default values";
}

TEST_F(VelmoSettings, SavePropertiesWritesChangedValuesInTheirOrder) {
    auto velmo = host_.Load(L"Velmo1", MainWindowBag(), log_);
    PropertyBag saved;
    velmo->SaveProperties(saved);
    EXPECT_EQ(Names(saved), (std::vector<std::wstring>{L"BackColor", L"Font", L"BorderStyle"}));
    EXPECT_EQ(saved.Read(L"BackColor", {}), PropertyBag::Value(std::int64_t{0x00C0E0FF}));
    EXPECT_EQ(saved.Read(L"Font", {}), PropertyBag::Value(kRowFont));
    EXPECT_EQ(saved.Read(L"BorderStyle", {}), PropertyBag::Value(std::int64_t{0}));

    velmo->SetToolTipText(L"tip");
    velmo->SetEnabled(false);
    velmo->SetForeColor(0x000000FF);
    velmo->SetBackColor(0x80000005); // back to its default
    PropertyBag again;
    velmo->SaveProperties(again);
    EXPECT_EQ(Names(again), (std::vector<std::wstring>{L"ForeColor", L"Enabled", L"Font",
                                                       L"BorderStyle", L"ToolTipText"}));
    EXPECT_EQ(again.Read(L"Enabled", {}), PropertyBag::Value(false));
}

TEST_F(VelmoSettings, AppearanceSettersForwardToTheEditBoxAndReportTheChange) {
    auto velmo = host_.Load(L"Velmo1", MainWindowBag(), log_);
    HWND box = velmo->EditBox();

    // As the main window loads it: RGB(255,224,192) on the window text colour, 宋体 9 pt, flat.
    Paint paint = PaintOf(*velmo);
    EXPECT_EQ(paint.brush, RGB(255, 224, 192));
    EXPECT_EQ(paint.background, RGB(255, 224, 192));
    EXPECT_EQ(paint.text, GetSysColor(COLOR_WINDOWTEXT));
    LOGFONTW font = FontOf(box);
    EXPECT_STREQ(font.lfFaceName, L"宋体");
    EXPECT_EQ(font.lfHeight, -MulDiv(9, ScreenDpi(LOGPIXELSY), 72));
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_EQ(font.lfCharSet, 134);
    EXPECT_EQ(GetWindowLongPtrW(box, GWL_STYLE) & WS_BORDER, 0);
    EXPECT_EQ(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(velmo->ToolTipWindow(), nullptr);

    velmo->SetBackColor(0x80000005); // the system's window colour
    velmo->SetForeColor(0x000000FF); // red
    paint = PaintOf(*velmo);
    EXPECT_EQ(paint.brush, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(paint.text, RGB(255, 0, 0));

    velmo->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(box));
    EXPECT_TRUE(IsWindowEnabled(velmo->Window())) << "only the edit box is disabled";
    EXPECT_FALSE(velmo->Enabled());
    EXPECT_EQ(PaintOf(*velmo, WM_CTLCOLORSTATIC).brush, GetSysColor(COLOR_WINDOW));

    const FontSpec consolas{L"Consolas", 10.5, 700, 0, true};
    velmo->SetFont(consolas);
    font = FontOf(box);
    EXPECT_STREQ(font.lfFaceName, L"Consolas");
    EXPECT_EQ(font.lfHeight, -MulDiv(21, ScreenDpi(LOGPIXELSY), 144));
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_TRUE(font.lfItalic);
    EXPECT_EQ(velmo->Font(), consolas);

    velmo->SetBorderStyle(1);
    EXPECT_NE(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0) << "3-D border";
    velmo->SetAppearance(0);
    EXPECT_NE(GetWindowLongPtrW(box, GWL_STYLE) & WS_BORDER, 0) << "flat border";
    EXPECT_EQ(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(velmo->BorderStyle(), 1);
    EXPECT_EQ(velmo->Appearance(), 0);

    velmo->SetToolTipText(L"按下快捷键以设置");
    ASSERT_NE(velmo->ToolTipWindow(), nullptr);
    EXPECT_EQ(ToolTipTextOf(velmo->ToolTipWindow(), velmo->Window(), box), L"按下快捷键以设置");
    velmo->SetToolTipText(L"changed");
    EXPECT_EQ(ToolTipTextOf(velmo->ToolTipWindow(), velmo->Window(), box), L"changed");
    EXPECT_EQ(velmo->ToolTipText(), L"changed");
    HWND toolTip = velmo->ToolTipWindow();

    EXPECT_EQ(log_.changed, (std::vector<std::wstring>{L"BackColor", L"ForeColor", L"Enabled",
                                                       L"Font", L"BorderStyle", L"Appearance",
                                                       L"ToolTipText", L"ToolTipText"}));
    velmo.reset();
    EXPECT_FALSE(IsWindow(toolTip)) << "the tooltip outlived its control";
}

TEST_F(VelmoSettings, ControlIsAChildAtItsPlaceAndTheEditBoxFollowsItsSize) {
    auto velmo = host_.Load(L"Velmo4", MainWindowBag(), log_, HostMode::User, 3);
    HWND control = velmo->Window();
    EXPECT_EQ(GetParent(control), host_.Window());
    EXPECT_EQ(GetDlgCtrlID(control), VelmoTestHost::kFirstControlId + 3);
    EXPECT_EQ(ClassNameOf(control), L"Velmo");
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    RECT placed{};
    GetWindowRect(control, &placed);
    MapWindowPoints(nullptr, host_.Window(), reinterpret_cast<POINT*>(&placed), 2);
    const RECT slot = VelmoTestHost::Slot(3);
    EXPECT_TRUE(EqualRect(&placed, &slot));

    HWND box = velmo->EditBox();
    EXPECT_EQ(GetParent(box), control);
    EXPECT_EQ(_wcsicmp(ClassNameOf(box).c_str(), L"Edit"), 0);
    EXPECT_NE(GetWindowLongPtrW(box, GWL_STYLE) & ES_AUTOHSCROLL, 0);
    EXPECT_EQ(GetWindowLongPtrW(box, GWL_STYLE) & ES_MULTILINE, 0);

    auto boxRect = [&] {
        RECT r{};
        GetWindowRect(box, &r);
        MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT expected{0, 0, VelmoTestHost::kControlWidth, VelmoTestHost::kControlHeight};
    RECT actual = boxRect();
    EXPECT_TRUE(EqualRect(&actual, &expected));

    SetWindowPos(control, nullptr, 0, 0, 200, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    expected = RECT{0, 0, 200, 40};
    actual = boxRect();
    EXPECT_TRUE(EqualRect(&actual, &expected))
        << actual.left << "," << actual.top << "," << actual.right << "," << actual.bottom;
}
