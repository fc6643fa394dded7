// The control's own window, its creation and loading, and the members of Velmo that belong to the
// capture, the registration and the saved hotkey. The properties' members are in
// velmo_property_system.cpp.
#include "hotkeyctl/velmo.h"

#include <utility>

#include "hotkeyctl/hotkey_store.h"
#include "hotkeyctl/raise_event.h"
#include "hotkeyctl/velmo_impl.h"
#include "hotkeyctl/velmo_properties.h"
#include "ui/font.h"

namespace hkv {
namespace {

constexpr wchar_t kWindowClass[] = L"Velmo";

} // namespace

Velmo::Impl::Impl(HWND parent, std::wstring name, int controlId, const RECT& bounds, HostMode mode,
                  VelmoEvents events, std::optional<FontSpec> ambientFont)
    : name_(std::move(name)), events_(std::move(events)), dpi_(ScreenDpi()),
      box_(events_, registration_, dpi_, [this] { SaveWhenSettled(); }),
      properties_(mode, dpi_,
                  ambientFont ? std::move(*ambientFont)
                              : VelmoPropertySystem::AmbientFontOf(parent, dpi_),
                  events_, box_) {
    RegisterWindowClass(kWindowClass);
    // WS_EX_CONTROLPARENT lets dialog navigation (Tab) step into the edit box.
    if (!CreateFor(WS_EX_CONTROLPARENT, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                   bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)))) {
        return;
    }
    box_.Create(hwnd());
}

Velmo::Impl::~Impl() {
    registration_.Unhook();
    box_.Unhook();
    // The registration and the hotkey window go with registration_.
}

void Velmo::Impl::Attach(Velmo& owner) {
    registration_.CreateWindowFor(owner);
    box_.Hook(owner);
    box_.Hold(RestoreHotKey(name_, properties_.Values()));
}

WriteOutcome Velmo::Impl::SaveSettled() const {
    return SaveHotKey(name_, properties_.Values(), box_.Settled());
}

void Velmo::Impl::SaveWhenSettled() {
    // A held key settles its combination again at every repeat: written once is enough, and its
    // outcome was told. A modifier let go meanwhile makes a new one.
    const CapturedHotKey settled = box_.Settled();
    if (settled == lastWritten_) {
        return;
    }
    lastWritten_ = settled;
    WriteOutcome outcome = SaveHotKey(name_, properties_.Values(), settled);
    Raise(events_.Saved, outcome);
}

void Velmo::Impl::SwitchRegistration(bool enable) {
    HWND owner = hwnd() ? GetAncestor(hwnd(), GA_ROOT) : nullptr;
    if (!registration_.Switch(enable, box_.KeyCode(), box_.ModKeyCode(), owner,
                              events_.MessageBoxOpening)) {
        box_.Clear();
    }
}

LRESULT Velmo::Impl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        box_.Resize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SETFOCUS:
        if (box_.Window()) {
            SetFocus(box_.Window());
        }
        return 0;
    case HotKeyBox::kMsgRegisterRestored:
        if (box_.TakeRegisterRestored()) {
            SwitchRegistration(true);
        }
        Raise(events_.CaptureRestored);
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: // a disabled edit box asks with this one
        if (reinterpret_cast<HWND>(lParam) == box_.Window()) {
            if (HBRUSH brush = properties_.PaintBox(reinterpret_cast<HDC>(wParam))) {
                return reinterpret_cast<LRESULT>(brush);
            }
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

// --- Velmo ---------------------------------------------------------------------------------------

Velmo::Velmo(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Velmo::~Velmo() = default;

std::unique_ptr<Velmo> Velmo::CreateNew(HWND parent, std::wstring name, int controlId,
                                        const RECT& bounds, HostMode mode, VelmoEvents events) {
    auto impl = std::make_unique<Impl>(parent, std::move(name), controlId, bounds, mode,
                                       std::move(events), std::nullopt);
    impl->Properties().ApplyDefaults();
    impl->Box().ShowText(kHotKeyPlaceholder);
    return std::unique_ptr<Velmo>(new Velmo(std::move(impl)));
}

std::unique_ptr<Velmo> Velmo::Load(HWND parent, std::wstring name, int controlId,
                                   const RECT& bounds, const PropertyBag& stored,
                                   const FontSpec& ambientFont, HostMode mode, VelmoEvents events) {
    auto impl = std::make_unique<Impl>(parent, std::move(name), controlId, bounds, mode,
                                       std::move(events), ambientFont);
    impl->Properties().Load(stored);
    std::unique_ptr<Velmo> control(new Velmo(std::move(impl)));
    if (mode == HostMode::User) {
        control->impl_->Attach(*control);
    } else {
        control->impl_->Box().ShowText(ReadDesignText(stored));
    }
    return control;
}

void Velmo::RaiseEvents() {
    Raise(impl_->Events().HotKeyPressed);
}

std::wstring Velmo::Text() const {
    return impl_->Box().Text();
}

bool Velmo::TextSettled() const {
    return impl_->Box().TextSettled();
}

std::int32_t Velmo::KeyCode() const {
    return impl_->Box().KeyCode();
}

bool Velmo::HotKeyEnabled() const {
    return impl_->Registration().Enabled();
}

void Velmo::SetHotKeyEnabled(bool enabled) {
    impl_->SwitchRegistration(enabled);
}

bool Velmo::EnableHotKeyQuietly() {
    return impl_->Registration().EnableQuietly(impl_->Box().KeyCode(), impl_->Box().ModKeyCode());
}

bool Velmo::SuspendHotKey() {
    return impl_->Registration().Suspend();
}

bool Velmo::ResumeHotKey() {
    return impl_->Registration().Resume(impl_->Box().KeyCode(), impl_->Box().ModKeyCode());
}

std::int32_t Velmo::ModKeyCode() const {
    return impl_->Box().ModKeyCode();
}

WriteOutcome Velmo::SaveSettings() {
    return impl_->SaveSettled();
}

HWND Velmo::Window() const {
    return impl_->hwnd();
}

HWND Velmo::EditBox() const {
    return impl_->Box().Window();
}

HWND Velmo::HotKeyWindow() const {
    return impl_->Registration().Window();
}

const std::wstring& Velmo::Name() const {
    return impl_->Name();
}

LRESULT Velmo::EditBoxMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                              WNDPROC previous) {
    return impl_->Box().OnMessage(box, message, wParam, lParam, previous);
}

void Velmo::SetHotKeyWindowFactoryForTesting(HotKeyWindowFactory factory) {
    HotKeyRegistration::SetWindowFactoryForTesting(factory);
}

} // namespace hkv
