// The program read as a screen reader reads it: through Windows' accessibility interface, from
// another process, with the changes it announces.
#include <ole2.h>
#include <oleacc.h>

#include <optional>

#include "app_fixture.h"
#include "ui/accessible.h"

namespace hkv::test {
namespace {

struct Read {
    HRESULT result = E_FAIL;
    std::wstring name, value, description;
    long role = 0;
    long state = 0;
};

std::wstring Take(BSTR text) {
    std::wstring taken = text ? text : L"";
    SysFreeString(text);
    return taken;
}

Read ReadAt(HWND control, bool fromPoint) {
    IAccessible* object = nullptr;
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = CHILDID_SELF;
    Read read;
    read.result = fromPoint
                      ? AccessibleObjectFromPoint(CentreOf(control), &object, &child)
                      : AccessibleObjectFromWindow(control, OBJID_CLIENT, ui::kAccessibleInterface,
                                                   reinterpret_cast<void**>(&object));
    if (FAILED(read.result) || object == nullptr) {
        return read;
    }
    BSTR text = nullptr;
    object->get_accName(child, &text);
    read.name = Take(std::exchange(text, nullptr));
    object->get_accValue(child, &text);
    read.value = Take(std::exchange(text, nullptr));
    object->get_accDescription(child, &text);
    read.description = Take(text);
    VARIANT v{};
    if (SUCCEEDED(object->get_accRole(child, &v)) && v.vt == VT_I4) {
        read.role = v.lVal;
    }
    if (SUCCEEDED(object->get_accState(child, &v)) && v.vt == VT_I4) {
        read.state = v.lVal;
    }
    object->Release();
    return read;
}

// The announcements of the program's process, as an out-of-context hook receives them.
std::vector<std::pair<DWORD, HWND>> announced;
void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG, LONG, DWORD, DWORD) {
    announced.emplace_back(event, window);
}
bool Announced(DWORD event, HWND window) {
    return std::find(announced.begin(), announced.end(), std::make_pair(event, window)) !=
           announced.end();
}

struct Expected {
    const char* what;
    bool inEditor;
    std::function<HWND(const ProgramUnderTest&)> control;
    bool fromPoint; // read where the pointer is, as a reader does under the mouse
    std::wstring name;
    long role;
    std::optional<std::wstring> value;
    long stateOn = 0;
};

HWND EditorControl(const ProgramUnderTest& p, int id) {
    return FindDescendant(p.Editor(), id);
}

} // namespace

TEST_F(App, AScreenReaderHearsEveryControlNamedAndEveryChangeAnnounced) {
    ProgramUnderTest p(L"accessible");
    ASSERT_TRUE(p.WriteIni(kMappedIni));
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const ScopeGuard uninitialize([] { CoUninitialize(); });
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, &OnWinEvent,
                        p.Pid(), 0, WINEVENT_OUTOFCONTEXT);
    const ScopeGuard unhook([hook] { UnhookWinEvent(hook); });

    // A capture in row 2's hotkey box, a tick of row 3.
    const HWND box = p.VelmoEdit(2);
    ASSERT_TRUE(ClickOn(box));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(p.Main()) == box; }));
    TapKey(VK_F6);
    EXPECT_TRUE(WaitUntil([&] { return Announced(EVENT_OBJECT_VALUECHANGE, box); }));
    Enable(p, 3);
    EXPECT_TRUE(WaitUntil([&] { return Announced(EVENT_OBJECT_STATECHANGE, p.Check(3)); }));

    auto id = [](int controlId) {
        return [controlId](const ProgramUnderTest& p) { return p.Control(controlId); };
    };
    auto inEditor = [](int controlId) {
        return [controlId](const ProgramUnderTest& p) { return EditorControl(p, controlId); };
    };
    const Expected table[] = {
        {"row 1's old shortcut", false, [](auto& p) { return p.Text1(0); }, false,
         L"第 1 行 将这些旧快捷键", ROLE_SYSTEM_TEXT, L"Shift + H"},
        {"row 1's hotkey box", false, [](auto& p) { return p.VelmoEdit(1); }, false,
         L"第 1 行 替换为", ROLE_SYSTEM_HOTKEYFIELD, L"Ctrl + Alt + K"},
        {"row 2's captured hotkey", false, [](auto& p) { return p.VelmoEdit(2); }, false,
         L"第 2 行 替换为", ROLE_SYSTEM_HOTKEYFIELD, TextOf(box)},
        {"row 3's ticked box", false, [](auto& p) { return p.Check(3); }, false, L"第 3 行 启用",
         ROLE_SYSTEM_CHECKBUTTON, std::nullopt, STATE_SYSTEM_CHECKED},
        {"row 10's tick box", false, [](auto& p) { return p.Check(10); }, false, L"第 10 行 启用",
         ROLE_SYSTEM_CHECKBUTTON, std::nullopt},
        {"≡", false, id(ids::kImage1), true, L"菜单", ROLE_SYSTEM_PUSHBUTTON, std::nullopt},
        {"_", false, id(ids::kImage2), true, L"最小化到托盘", ROLE_SYSTEM_PUSHBUTTON, std::nullopt},
        {"×", false, id(ids::kImage3), true, L"退出", ROLE_SYSTEM_PUSHBUTTON, std::nullopt},
        {"the editor", true, [](auto& p) { return p.Editor(); }, false, L"编辑", ROLE_SYSTEM_CLIENT,
         std::nullopt},
        {"first list", true, inEditor(ids::kLovea), false, L"第一个键", ROLE_SYSTEM_COMBOBOX, L""},
        {"second list", true, inEditor(ids::kLovek), false, L"第二个键", ROLE_SYSTEM_COMBOBOX, L""},
        {"third list", true, inEditor(ids::kLovem), false, L"第三个键", ROLE_SYSTEM_COMBOBOX, L""},
        {"添加", true, inEditor(ids::kLabel1), false, L"添加", ROLE_SYSTEM_PUSHBUTTON,
         std::nullopt},
        {"the editor's ×", true, inEditor(ids::kEditImage3), true, L"关闭", ROLE_SYSTEM_PUSHBUTTON,
         std::nullopt},
        {"a state box", true, inEditor(ids::kNum), false, L"", ROLE_SYSTEM_TEXT, L"0",
         STATE_SYSTEM_INVISIBLE},
    };
    for (const Expected& row : table) {
        SCOPED_TRACE(row.what);
        if (row.inEditor && !p.Editor()) {
            ASSERT_TRUE(ClickOn(p.Text1(0)));
            ASSERT_TRUE(WaitUntil([&] { return p.Editor() && InputTaken(p.Editor()); }));
        }
        const Read read = ReadAt(row.control(p), row.fromPoint);
        ASSERT_TRUE(SUCCEEDED(read.result)) << std::hex << read.result;
        EXPECT_EQ(read.name, row.name);
        EXPECT_EQ(read.role, row.role);
        if (row.value) {
            EXPECT_EQ(read.value, *row.value);
        }
        EXPECT_EQ(read.state & row.stateOn, row.stateOn) << std::hex << read.state;
        if (row.role == ROLE_SYSTEM_TEXT && !row.name.empty()) {
            EXPECT_NE(read.description.find(L"Enter"), std::wstring::npos);
        }
    }
}

} // namespace hkv::test
