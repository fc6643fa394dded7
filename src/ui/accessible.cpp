#include "ui/accessible.h"

#include <commctrl.h>
#include <ole2.h>
#include <oleacc.h>

#include <algorithm>
#include <utility>

namespace hkv::ui {
namespace {

constexpr UINT_PTR kSubclassId = 0xACC;

constexpr wchar_t kAccessibilityLibrary[] = L"oleacc.dll";
constexpr wchar_t kAutomationLibrary[] = L"oleaut32.dll";
using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsChecked(HWND control) {
    return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

class AccessibleObject;

} // namespace

// What handing objects to readers takes: COM on this thread, the accessibility library and the
// automation library's strings. Nothing of it is loaded before a reader first asks, which most
// users never do.
class AccessibleControls::Library {
  public:
    explicit Library(ComApartment& com) : com_(com) {}
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Loads what is needed the first time; false when it cannot be had.
    bool Ready() {
        if (!tried_) {
            tried_ = true;
            if (com_.Enter()) {
                createStandard_ = com_.Export<CreateStdAccessibleObjectFn>(
                    kAccessibilityLibrary, "CreateStdAccessibleObject");
                lresultFromObject_ =
                    com_.Export<LresultFromObjectFn>(kAccessibilityLibrary, "LresultFromObject");
                allocString_ =
                    com_.Export<SysAllocStringLenFn>(kAutomationLibrary, "SysAllocStringLen");
            }
        }
        return createStandard_ && lresultFromObject_ && allocString_;
    }

    // The system's own object for the window, or null.
    IAccessible* Standard(HWND window, LONG objectId) const {
        void* object = nullptr;
        if (FAILED(createStandard_(window, objectId, kAccessibleInterface, &object))) {
            return nullptr;
        }
        return static_cast<IAccessible*>(object);
    }
    LRESULT Answer(WPARAM wParam, IAccessible* object) const {
        return lresultFromObject_(kAccessibleInterface, wParam, object);
    }
    HRESULT Text(const std::wstring& text, BSTR* out) const {
        if (out == nullptr) {
            return E_INVALIDARG;
        }
        *out = allocString_(text.data(), static_cast<UINT>(text.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }

  private:
    ComApartment& com_;
    bool tried_ = false;
    CreateStdAccessibleObjectFn createStandard_ = nullptr;
    LresultFromObjectFn lresultFromObject_ = nullptr;
    SysAllocStringLenFn allocString_ = nullptr;
};

// One attached control: its facts, what was last announced, and the objects readers hold.
struct AccessibleControls::Link : std::enable_shared_from_this<Link> {
    HWND control = nullptr; // null once cut
    AccessibleFacts facts;
    Library* library = nullptr;
    std::wstring text;
    bool checked = false;
    std::vector<AccessibleObject*> objects;

    LRESULT Answer(LONG objectId, WPARAM wParam);
    void AnnounceChanges(UINT msg);
    // The control or its owner is going: no message reaches the link any more, and every object
    // handed out lets go of the system's object and answers that it is not connected.
    void Cut();
};

namespace {

// What a reader holds: the system's object for the control, with the facts put over it.
class AccessibleObject final : public IAccessible, public IOleWindow, public IEnumVARIANT {
  public:
    AccessibleObject(std::shared_ptr<AccessibleControls::Link> link, IAccessible* standard,
                     LONG objectId)
        : link_(std::move(link)), standard_(standard), children_(ChildrenOf(standard)),
          objectId_(objectId) {
        link_->objects.push_back(this);
    }
    AccessibleObject(const AccessibleObject&) = delete;
    AccessibleObject& operator=(const AccessibleObject&) = delete;

    void Disconnect() {
        if (children_) {
            std::exchange(children_, nullptr)->Release();
        }
        if (standard_) {
            std::exchange(standard_, nullptr)->Release();
        }
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
            IsEqualIID(iid, kAccessibleInterface)) {
            *out = static_cast<IAccessible*>(this);
        } else if (IsEqualIID(iid, __uuidof(IOleWindow))) {
            *out = static_cast<IOleWindow*>(this);
        } else if (IsEqualIID(iid, __uuidof(IEnumVARIANT)) && enumerates_) {
            // Readers list a window's children through it (AccessibleChildren); without it they
            // would ask for each by number, which the system's object answers only for its own
            // parts, so the windows inside could not be reached. Offered for the object's whole
            // life, as an object's interfaces must be; once cut its methods say so.
            *out = static_cast<IEnumVARIANT*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IDispatch: readers call the methods directly; no type information is offered.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IOleWindow: the window a reader's object belongs to.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) {
            return E_POINTER;
        }
        *window = Connected() ? link_->control : nullptr;
        return *window ? S_OK : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IAccessible: the facts for the control itself; everything else as the system says.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!Connected()) {
            return CO_E_OBJNOTCONNECTED;
        }
        if (IsSelf(child) && !Facts().name.empty()) {
            return Text(Facts().name, name);
        }
        return standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!Connected()) {
            return CO_E_OBJNOTCONNECTED;
        }
        if (IsClientSelf(child) && Facts().valueIsText) {
            return Text(WindowText(link_->control), value);
        }
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (!Connected()) {
            return CO_E_OBJNOTCONNECTED;
        }
        if (IsClientSelf(child) && !Facts().description.empty()) {
            return Text(Facts().description, description);
        }
        return standard_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!Connected()) {
            return CO_E_OBJNOTCONNECTED;
        }
        if (IsClientSelf(child) && Facts().role != 0 && role != nullptr) {
            role->vt = VT_I4;
            role->lVal = Facts().role;
            return S_OK;
        }
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!Connected()) {
            return CO_E_OBJNOTCONNECTED;
        }
        const HRESULT result = standard_->get_accState(child, state);
        if (SUCCEEDED(result) && IsClientSelf(child) && Facts().checkBox && state->vt == VT_I4) {
            state->lVal &= ~STATE_SYSTEM_CHECKED;
            if (IsChecked(link_->control)) {
                state->lVal |= STATE_SYSTEM_CHECKED;
            }
        }
        return result;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Connected() ? standard_->get_accParent(parent) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return Connected() ? standard_->get_accChildCount(count) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return Connected() ? standard_->get_accChild(child, object) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return Connected() ? standard_->get_accHelp(child, help) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return Connected() ? standard_->get_accHelpTopic(file, child, topic) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Connected() ? standard_->get_accKeyboardShortcut(child, shortcut)
                           : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return Connected() ? standard_->get_accFocus(child) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return Connected() ? standard_->get_accSelection(children) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Connected() ? standard_->get_accDefaultAction(child, action) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return Connected() ? standard_->accSelect(flags, child) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return Connected() ? standard_->accLocation(left, top, width, height, child)
                           : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return Connected() ? standard_->accNavigate(direction, start, end) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return Connected() ? standard_->accHitTest(x, y, child) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Connected() ? standard_->accDoDefaultAction(child) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

    // IEnumVARIANT: the system's list of the children.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        return Connected() && children_ ? children_->Next(count, items, fetched)
                                        : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        return Connected() && children_ ? children_->Skip(count) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        return Connected() && children_ ? children_->Reset() : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
        return Connected() && children_ ? children_->Clone(copy) : CO_E_OBJNOTCONNECTED;
    }

  private:
    // Only through Release.
    ~AccessibleObject() {
        Disconnect();
        auto& objects = link_->objects;
        objects.erase(std::remove(objects.begin(), objects.end(), this), objects.end());
    }

    // The system object's list of the children, asked for once: whether it has one decides
    // whether this object offers one.
    static IEnumVARIANT* ChildrenOf(IAccessible* standard) {
        void* children = nullptr;
        return SUCCEEDED(standard->QueryInterface(__uuidof(IEnumVARIANT), &children))
                   ? static_cast<IEnumVARIANT*>(children)
                   : nullptr;
    }
    HRESULT Text(const std::wstring& text, BSTR* out) const {
        return link_->library->Text(text, out);
    }

    // A control destroyed without its link being cut (a procedure put back over ours) is gone
    // all the same.
    bool Connected() const {
        return standard_ != nullptr && link_->control != nullptr && IsWindow(link_->control);
    }
    const AccessibleFacts& Facts() const { return link_->facts; }
    // Role, value, description and state belong to the control's contents, not to its frame.
    bool IsClientSelf(const VARIANT& child) const {
        return objectId_ == OBJID_CLIENT && IsSelf(child);
    }

    ULONG refs_ = 1;
    const std::shared_ptr<AccessibleControls::Link> link_;
    IAccessible* standard_;
    IEnumVARIANT* children_; // the system object's, until cut
    const bool enumerates_ = children_ != nullptr;
    const LONG objectId_;
};

LRESULT CALLBACK ControlProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR data) {
    auto* link = reinterpret_cast<AccessibleControls::Link*>(data);
    if (msg == WM_GETOBJECT) {
        // The object id is a 32-bit value, sign-extended or not.
        const auto objectId = static_cast<LONG>(static_cast<DWORD>(lParam));
        if (objectId == OBJID_CLIENT || objectId == OBJID_WINDOW) {
            if (const LRESULT answer = link->Answer(objectId, wParam); answer > 0) {
                return answer;
            }
        }
    } else if (msg == WM_NCDESTROY) {
        link->Cut();
        return DefSubclassProc(window, msg, wParam, lParam);
    }
    const LRESULT result = DefSubclassProc(window, msg, wParam, lParam);
    link->AnnounceChanges(msg);
    return result;
}

} // namespace

LRESULT AccessibleControls::Link::Answer(LONG objectId, WPARAM wParam) {
    if (!library->Ready()) {
        return 0;
    }
    IAccessible* standard = library->Standard(control, objectId);
    if (standard == nullptr) {
        return 0;
    }
    auto* object = new AccessibleObject(shared_from_this(), standard, objectId);
    const LRESULT answer = library->Answer(wParam, object);
    object->Release();
    return answer;
}

void AccessibleControls::Link::AnnounceChanges(UINT msg) {
    if (control == nullptr) {
        return;
    }
    // Windows' own controls announce some of these too; Wine's announce none. A second
    // announcement only repeats what a reader reads anyway.
    if (facts.valueIsText && msg == WM_SETTEXT && (!facts.valueSettled || facts.valueSettled())) {
        std::wstring now = WindowText(control);
        if (now != text) {
            text = std::move(now);
            NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
        }
    }
    if (facts.checkBox &&
        (msg == BM_SETCHECK || msg == BM_CLICK || msg == WM_LBUTTONUP || msg == WM_KEYUP)) {
        const bool now = IsChecked(control);
        if (now != checked) {
            checked = now;
            NotifyWinEvent(EVENT_OBJECT_STATECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
        }
    }
}

void AccessibleControls::Link::Cut() {
    if (control == nullptr) {
        return;
    }
    // A control whose procedure was put back over ours (the hotkey box's, when its control ends)
    // is destroyed without telling us; its handle is then no window any more.
    if (IsWindow(control)) {
        RemoveWindowSubclass(control, &ControlProc, kSubclassId);
    }
    control = nullptr;
    for (AccessibleObject* object : objects) {
        object->Disconnect();
    }
}

AccessibleControls::AccessibleControls(ComApartment& com)
    : library_(std::make_unique<Library>(com)) {}

AccessibleControls::~AccessibleControls() {
    // The system's objects go before the library that made them.
    for (const auto& link : links_) {
        link->Cut();
    }
    links_.clear();
}

void AccessibleControls::Attach(HWND control, AccessibleFacts facts) {
    if (control == nullptr) {
        return;
    }
    // Attached again: the new facts hold from now on, for what readers hold already too.
    for (const auto& attached : links_) {
        if (attached->control == control) {
            attached->facts = std::move(facts);
            return;
        }
    }
    auto link = std::make_shared<Link>();
    link->control = control;
    link->facts = std::move(facts);
    link->library = library_.get();
    link->text = WindowText(control);
    link->checked = link->facts.checkBox && IsChecked(control);
    if (SetWindowSubclass(control, &ControlProc, kSubclassId,
                          reinterpret_cast<DWORD_PTR>(link.get()))) {
        links_.push_back(std::move(link));
    }
}

} // namespace hkv::ui
