#pragma once
// A font as the layouts and the stored control properties describe it.
#include <string>

namespace hkv {

struct FontSpec {
    std::wstring face;
    double points = 9.0;
    int weight = 400; // 400 normal, 700 bold
    int charset = 0;  // 134 = GB2312, 0 = ANSI
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

} // namespace hkv
