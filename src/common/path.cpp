#include "common/path.h"

namespace hkv {

std::wstring JoinFolderAndFile(std::wstring_view folder, std::wstring_view fileName) {
    std::wstring path(folder);
    if (path.empty() || path.back() != L'\\') {
        path += L'\\';
    }
    path += fileName;
    return path;
}

std::wstring FolderOfPath(std::wstring_view path) {
    std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos) {
        return {};
    }
    // "C:\hk.exe": the root keeps its backslash.
    if (slash == 2 && path.size() > 2 && path[1] == L':') {
        return std::wstring(path.substr(0, 3));
    }
    return std::wstring(path.substr(0, slash));
}

std::wstring BaseNameWithoutExtension(std::wstring_view path) {
    std::size_t slash = path.find_last_of(L"\\/:");
    std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring_view::npos && dot > 0) {
        name = name.substr(0, dot);
    }
    return std::wstring(name);
}

} // namespace hkv
