// The program read as a screen reader reads it: through Windows' accessibility interface, from
// another process, with the changes it announces.
#include <ole2.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <optional>
#include <set>

#include "app_fixture.h"
#include "ui/accessible.h"

namespace hkv::test {
namespace {

// The object a reader gets for the control: the one its window answers with, or the one under
// the pointer at its centre. Null when there is none.
IAccessible* ObjectOf(HWND control, bool fromPoint, VARIANT& child) {
    IAccessible* object = nullptr;
    child.vt = VT_I4;
    child.lVal = CHILDID_SELF;
    const HRESULT result =
        fromPoint ? AccessibleObjectFromPoint(CentreOf(control), &object, &child)
                  : AccessibleObjectFromWindow(control, OBJID_CLIENT, ui::kAccessibleInterface,
                                               reinterpret_cast<void**>(&object));
    return SUCCEEDED(result) ? object : nullptr;
}

std::wstring TextFrom(IAccessible* object, const VARIANT& child,
                      HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    BSTR text = nullptr;
    const std::wstring taken = SUCCEEDED((object->*get)(child, &text)) && text ? text : L"";
    SysFreeString(text);
    return taken;
}

long NumberFrom(IAccessible* object, const VARIANT& child,
                HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
    VARIANT number{};
    return SUCCEEDED((object->*get)(child, &number)) && number.vt == VT_I4 ? number.lVal : 0;
}

// The libraries the process has loaded, in lower case; kernel32.dll among them once it could be
// read.
std::set<std::wstring> LibrariesOf(DWORD pid) {
    std::set<std::wstring> names;
    const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32FirstW(snapshot.get(), &module); more;
         more = Module32NextW(snapshot.get(), &module)) {
        std::wstring name = module.szModule;
        std::transform(name.begin(), name.end(), name.begin(), towlower);
        names.insert(name);
    }
    return names;
}

// The announcements of the program's process, as an out-of-context hook receives them.
std::multiset<std::pair<DWORD, HWND>> announced;
void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG, LONG, DWORD, DWORD) {
    announced.emplace(event, window);
}

struct Expected {
    const char* what;
    std::function<HWND()> control;
    bool inEditor;
    bool fromPoint; // read where the pointer is, as a reader does under the mouse
    std::wstring name;
    long role;
    std::optional<std::wstring> value;
    long stateOn = 0;
    std::optional<std::wstring> description{};
};

} // namespace

TEST_F(App, AScreenReaderHearsEveryControlNamedAndEveryChangeAnnounced) {
    ProgramUnderTest p(L"accessible");
    ASSERT_TRUE(p.WriteIni(std::string(kMappedIni) +
                           "Velmo4Text=F8\r\nVelmo4KeyCode=119\r\nVelmo4ModKeyCode=0\r\n"));
    ASSERT_TRUE(p.Start());
    // Nothing of it is paid for while no reader has asked.
    const std::set<std::wstring> atStart = LibrariesOf(p.Pid());
    ASSERT_TRUE(atStart.count(L"kernel32.dll"));
    EXPECT_FALSE(atStart.count(L"oleacc.dll"));
    EXPECT_FALSE(atStart.count(L"oleaut32.dll"));
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const ScopeGuard uninitialize([] { CoUninitialize(); });
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, &OnWinEvent,
                        p.Pid(), 0, WINEVENT_OUTOFCONTEXT);
    const ScopeGuard unhook([hook] { UnhookWinEvent(hook); });

    // A capture in row 2's hotkey box, left with Shift + Tab; a tick of row 3; a tick of row 4,
    // refused (row 3 holds its F8), which empties its box. Only settled values are heard.
    const HWND box = p.VelmoEdit(2);
    ASSERT_TRUE(ClickOn(box));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(p.Main()) == box; }));
    TapKey(VK_F6);
    EXPECT_TRUE(WaitUntil([&] { return announced.count({EVENT_OBJECT_VALUECHANGE, box}); }));
    KeyboardInput().Chord({VK_RSHIFT, VK_TAB});
    Enable(p, 3);
    EXPECT_TRUE(WaitUntil([&] { return announced.count({EVENT_OBJECT_STATECHANGE, p.Check(3)}); }));
    MessageBoxWatcher refusal(L"error", p.Pid());
    ASSERT_TRUE(ClickOn(p.Check(4)));
    ASSERT_TRUE(refusal.WaitForCount(1));
    const HWND emptied = p.VelmoEdit(4);
    EXPECT_TRUE(WaitUntil([&] { return announced.count({EVENT_OBJECT_VALUECHANGE, emptied}); }));
    EXPECT_EQ(announced.count({EVENT_OBJECT_VALUECHANGE, box}), 1u) << "Shift held in passing";
    EXPECT_EQ(announced.count({EVENT_OBJECT_STATECHANGE, p.Check(4)}), 0u) << "the refused tick";

    auto in = [&p](int id) { return [&p, id] { return FindDescendant(p.Editor(), id); }; };
    auto on = [&p](int id) { return [&p, id] { return p.Control(id); }; };
    const Expected table[] = {
        {"row 1's old shortcut", [&] { return p.Text1(0); }, false, false,
         L"第 1 行 将这些旧快捷键", ROLE_SYSTEM_TEXT, L"Shift + H"},
        {"row 2's captured hotkey", [&] { return box; }, false, false, L"第 2 行 替换为",
         ROLE_SYSTEM_HOTKEYFIELD, TextOf(box)},
        {"row 3's ticked box", [&] { return p.Check(3); }, false, false, L"第 3 行 启用",
         ROLE_SYSTEM_CHECKBUTTON, std::nullopt, STATE_SYSTEM_CHECKED},
        {"row 10's tick box", [&] { return p.Check(10); }, false, false, L"第 10 行 启用",
         ROLE_SYSTEM_CHECKBUTTON, std::nullopt},
        {"≡", on(ids::kImage1), false, true, L"菜单", ROLE_SYSTEM_PUSHBUTTON, std::nullopt},
        {"_", on(ids::kImage2), false, true, L"最小化到托盘", ROLE_SYSTEM_PUSHBUTTON, std::nullopt},
        {"×", on(ids::kImage3), false, true, L"退出", ROLE_SYSTEM_PUSHBUTTON, std::nullopt},
        {"the editor", [&] { return p.Editor(); }, true, false, L"编辑 第 1 行", ROLE_SYSTEM_CLIENT,
         std::nullopt, 0, L"该行当前为 Shift + H"},
        {"first list", in(ids::kLovea), true, false, L"第一个键", ROLE_SYSTEM_COMBOBOX, L""},
        {"second list", in(ids::kLovek), true, false, L"第二个键", ROLE_SYSTEM_COMBOBOX, L""},
        {"third list", in(ids::kLovem), true, false, L"第三个键", ROLE_SYSTEM_COMBOBOX, L""},
        {"添加", in(ids::kLabel1), true, false, L"添加", ROLE_SYSTEM_PUSHBUTTON, std::nullopt},
        {"the editor's ×", in(ids::kEditImage3), true, true, L"关闭", ROLE_SYSTEM_PUSHBUTTON,
         std::nullopt},
        {"a state box", in(ids::kNum), true, false, L"", ROLE_SYSTEM_TEXT, L"0",
         STATE_SYSTEM_INVISIBLE},
    };
    for (const Expected& row : table) {
        SCOPED_TRACE(row.what);
        if (row.inEditor && !p.Editor()) {
            ASSERT_TRUE(ClickOn(p.Text1(0)));
            ASSERT_TRUE(WaitUntil([&] { return p.Editor() && IsWindowVisible(p.Editor()); }));
        }
        VARIANT child{};
        IAccessible* object = ObjectOf(row.control(), row.fromPoint, child);
        ASSERT_NE(object, nullptr);
        const ScopeGuard release([object] { object->Release(); });
        EXPECT_EQ(TextFrom(object, child, &IAccessible::get_accName), row.name);
        EXPECT_EQ(NumberFrom(object, child, &IAccessible::get_accRole), row.role);
        if (row.value) {
            EXPECT_EQ(TextFrom(object, child, &IAccessible::get_accValue), *row.value);
        }
        const long state = NumberFrom(object, child, &IAccessible::get_accState);
        EXPECT_EQ(state & row.stateOn, row.stateOn) << std::hex << state;
        if (row.description) {
            EXPECT_EQ(TextFrom(object, child, &IAccessible::get_accDescription), *row.description);
        }
        if (row.role == ROLE_SYSTEM_TEXT && !row.name.empty()) {
            EXPECT_NE(TextFrom(object, child, &IAccessible::get_accDescription).find(L"Enter"),
                      std::wstring::npos);
        }
    }

    EXPECT_TRUE(LibrariesOf(p.Pid()).count(L"oleacc.dll"));

    // A reader walks from the editor to its controls.
    VARIANT child{};
    IAccessible* editor = ObjectOf(p.Editor(), false, child);
    ASSERT_NE(editor, nullptr);
    const ScopeGuard releaseEditor([editor] { editor->Release(); });
    VARIANT children[1]{};
    LONG found = 0;
    EXPECT_TRUE(SUCCEEDED(AccessibleChildren(editor, 0, 1, children, &found)) && found == 1 &&
                children[0].vt == VT_DISPATCH);
    VariantClear(&children[0]);

    // What a reader still holds once the editor is closed answers that it is gone.
    IAccessible* held = ObjectOf(FindDescendant(p.Editor(), ids::kLabel1), false, child);
    ASSERT_NE(held, nullptr);
    const ScopeGuard release([held] { held->Release(); });
    IAccessible* unlisted = ObjectOf(p.Editor(), false, child); // not asked for its list yet
    ASSERT_NE(unlisted, nullptr);
    const ScopeGuard releaseUnlisted([unlisted] { unlisted->Release(); });
    ASSERT_TRUE(ClickOn(FindDescendant(p.Editor(), ids::kEditImage3)));
    ASSERT_TRUE(WaitUntil([&] { return !p.Editor(); }));
    BSTR name = nullptr;
    EXPECT_EQ(held->get_accName(child, &name), CO_E_OBJNOTCONNECTED);
    // Its interfaces stay what they were; their methods answer the same.
    IEnumVARIANT* list = nullptr;
    ASSERT_TRUE(
        SUCCEEDED(unlisted->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&list))));
    const ScopeGuard releaseList([list] { list->Release(); });
    EXPECT_EQ(list->Reset(), CO_E_OBJNOTCONNECTED);
}

} // namespace hkv::test
