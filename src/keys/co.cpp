#include "keys/co.h"

#include <array>

namespace hkv::co {
namespace {

struct NamedKey {
    std::wstring_view name;
    std::uint16_t code;
};

// Searched in this order; the first equal name wins. "Enter" comes last: the editor offers it,
// so it must be playable like every other name in its lists.
constexpr std::array<NamedKey, 62> kKeys{{
    {L"A", 65},        {L"B", 66},     {L"C", 67},     {L"D", 68},    {L"E", 69},     {L"F", 70},
    {L"G", 71},        {L"H", 72},     {L"I", 73},     {L"J", 74},    {L"K", 75},     {L"L", 76},
    {L"M", 77},        {L"N", 78},     {L"O", 79},     {L"P", 80},    {L"Q", 81},     {L"R", 82},
    {L"S", 83},        {L"T", 84},     {L"U", 85},     {L"V", 86},    {L"W", 87},     {L"X", 88},
    {L"Y", 89},        {L"Z", 90},     {L"Shift", 16}, {L"Ctrl", 17}, {L"Alt", 18},   {L"Win", 91},
    {L"Backspace", 8}, {L"Space", 32}, {L"ESC", 27},   {L"LEFT", 37}, {L"Right", 39}, {L"UP", 38},
    {L"BOTTOM", 40},   {L"+", 107},    {L"-", 109},    {L"*", 106},   {L"/", 111},    {L"L-1", 49},
    {L"L-2", 50},      {L"L-3", 51},   {L"L-4", 52},   {L"L-5", 53},  {L"L-6", 54},   {L"L-7", 55},
    {L"L-8", 56},      {L"L-9", 57},   {L"L-0", 48},   {L"R-1", 97},  {L"R-2", 98},   {L"R-3", 99},
    {L"R-4", 100},     {L"R-5", 101},  {L"R-6", 102},  {L"R-7", 103}, {L"R-8", 104},  {L"R-9", 105},
    {L"R-0", 96},      {L"Enter", 13},
}};

} // namespace

std::optional<std::uint16_t> KeyNameToCode(std::wstring_view name) {
    for (const auto& key : kKeys) {
        if (key.name == name) {
            return key.code;
        }
    }
    return std::nullopt;
}

} // namespace hkv::co
