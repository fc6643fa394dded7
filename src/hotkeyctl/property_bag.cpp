#include "hotkeyctl/property_bag.h"

#include <algorithm>

namespace hkv {

namespace {

template <typename Entries> auto FindEntry(Entries& entries, const std::wstring& name) {
    return std::find_if(entries.begin(), entries.end(),
                        [&](const auto& entry) { return entry.first == name; });
}

} // namespace

PropertyBag::Value PropertyBag::Read(const std::wstring& name, const Value& defaultValue) const {
    auto it = FindEntry(entries_, name);
    return it == entries_.end() ? defaultValue : it->second;
}

bool PropertyBag::Has(const std::wstring& name) const {
    return FindEntry(entries_, name) != entries_.end();
}

void PropertyBag::Write(const std::wstring& name, const Value& value, const Value& defaultValue) {
    if (value == defaultValue) {
        Remove(name);
        return;
    }
    Set(name, value);
}

// A value written again moves to the end: the bag keeps the order of the latest writes.
void PropertyBag::Set(const std::wstring& name, const Value& value) {
    Remove(name);
    entries_.emplace_back(name, value);
}

void PropertyBag::Remove(const std::wstring& name) {
    auto it = FindEntry(entries_, name);
    if (it != entries_.end()) {
        entries_.erase(it);
    }
}

} // namespace hkv
