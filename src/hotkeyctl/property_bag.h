#pragma once
// The stored properties a host window keeps for one control instance: named values, remembered in
// the order they were written. A value equal to its default is left out.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "ui/font_spec.h"

namespace hkv {

class PropertyBag {
  public:
    using Value = std::variant<std::int64_t, bool, std::wstring, FontSpec>;

    // The stored value, or defaultValue when absent.
    Value Read(const std::wstring& name, const Value& defaultValue) const;
    bool Has(const std::wstring& name) const;
    // Stores the value unless it equals defaultValue (then any earlier value is removed).
    void Write(const std::wstring& name, const Value& value, const Value& defaultValue);
    // Stores the value unconditionally (a host's layout data).
    void Set(const std::wstring& name, const Value& value);
    const std::vector<std::pair<std::wstring, Value>>& Entries() const { return entries_; }

  private:
    void Remove(const std::wstring& name);

    std::vector<std::pair<std::wstring, Value>> entries_;
};

} // namespace hkv
