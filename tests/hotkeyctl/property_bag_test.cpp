#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hotkeyctl/property_bag.h"
#include "hotkeyctl/velmo_properties.h"

using hkv::FontSpec;
using hkv::PropertyBag;
using hkv::ReadDesignText;
using hkv::ReadVelmoProperties;
using hkv::VelmoProperties;
using hkv::WriteVelmoProperties;

namespace {

std::vector<std::wstring> Names(const PropertyBag& bag) {
    std::vector<std::wstring> names;
    for (const auto& entry : bag.Entries()) {
        names.push_back(entry.first);
    }
    return names;
}

const FontSpec kAmbient{L"微软雅黑", 9, 400, 134};
const FontSpec kSongTi{L"宋体", 9, 400, 134};

} // namespace

TEST(PropertyBag, ReadsWhatWasSetOrTheDefault) {
    PropertyBag bag;
    EXPECT_FALSE(bag.Has(L"BorderStyle"));
    EXPECT_EQ(bag.Read(L"BorderStyle", std::int64_t{1}), PropertyBag::Value(std::int64_t{1}));
    bag.Set(L"BorderStyle", std::int64_t{0});
    EXPECT_TRUE(bag.Has(L"BorderStyle"));
    EXPECT_EQ(bag.Read(L"BorderStyle", std::int64_t{1}), PropertyBag::Value(std::int64_t{0}));
    EXPECT_FALSE(bag.Has(L"borderstyle")) << "names are exact";
}

TEST(PropertyBag, WriteLeavesOutDefaultsAndKeepsTheLatestOrder) {
    PropertyBag bag;
    bag.Write(L"A", std::wstring(L"x"), std::wstring(L""));
    bag.Write(L"B", true, true);
    bag.Write(L"C", std::int64_t{3}, std::int64_t{0});
    EXPECT_EQ(Names(bag), (std::vector<std::wstring>{L"A", L"C"}));
    bag.Write(L"A", std::wstring(L"y"), std::wstring(L""));
    EXPECT_EQ(Names(bag), (std::vector<std::wstring>{L"C", L"A"}));
    // Writing the default removes an earlier value.
    bag.Write(L"C", std::int64_t{0}, std::int64_t{0});
    EXPECT_EQ(Names(bag), std::vector<std::wstring>{L"A"});
    EXPECT_EQ(bag.Read(L"A", std::wstring()), PropertyBag::Value(std::wstring(L"y")));
}

TEST(VelmoProperties, AnEmptyBagGivesTheDefaultsAndTheAmbientFont) {
    const VelmoProperties p = ReadVelmoProperties(PropertyBag{}, kAmbient);
    EXPECT_EQ(p.backColor, 0x80000005u);
    EXPECT_EQ(p.foreColor, 0x80000008u);
    EXPECT_TRUE(p.enabled);
    EXPECT_EQ(p.font, kAmbient);
    EXPECT_EQ(p.borderStyle, 1);
    EXPECT_EQ(p.appearance, 1);
    EXPECT_EQ(p.toolTipText, L"");
    EXPECT_EQ(p.iniFileName, L"set.ini");
    EXPECT_EQ(p.settingLocation, 0);
    EXPECT_EQ(p.regKeyName, L"Velmo");
    EXPECT_EQ(ReadDesignText(PropertyBag{}), L"按下快捷键");
}

TEST(VelmoProperties, TheMainWindowsBagReadsAsStored) {
    PropertyBag bag;
    bag.Set(L"BackColor", std::int64_t{0x00C0E0FF});
    bag.Set(L"Font", kSongTi);
    bag.Set(L"BorderStyle", std::int64_t{0});
    VelmoProperties expected;
    expected.backColor = 0x00C0E0FF;
    expected.font = kSongTi;
    expected.borderStyle = 0;
    EXPECT_EQ(ReadVelmoProperties(bag, kAmbient), expected);
}

TEST(VelmoProperties, ValuesOfAnotherTypeReadAsDefaults) {
    PropertyBag bag;
    bag.Set(L"BackColor", std::wstring(L"red"));
    bag.Set(L"Font", std::int64_t{9});
    bag.Set(L"ToolTipText", true);
    bag.Set(L"Enabled", std::int64_t{0}); // a number where a boolean belongs still counts
    bag.Set(L"ForeColor", std::int64_t{-2147483640}); // a signed 32-bit system colour
    bag.Set(L"Text", std::int64_t{5});
    const VelmoProperties p = ReadVelmoProperties(bag, kAmbient);
    EXPECT_EQ(p.backColor, 0x80000005u);
    EXPECT_EQ(p.font, kAmbient);
    EXPECT_EQ(p.toolTipText, L"");
    EXPECT_FALSE(p.enabled);
    EXPECT_EQ(p.foreColor, 0x80000008u);
    EXPECT_EQ(ReadDesignText(bag), L"按下快捷键");
}

TEST(VelmoProperties, WritesTheTenInTheirOrderLeavingOutDefaults) {
    VelmoProperties all;
    all.backColor = 0x00C0E0FF;
    all.foreColor = 0x000000FF;
    all.enabled = false;
    all.font = kSongTi;
    all.borderStyle = 0;
    all.appearance = 0;
    all.toolTipText = L"tip";
    all.iniFileName = L"other.ini";
    all.settingLocation = 1;
    all.regKeyName = L"Brevin";
    PropertyBag bag;
    bag.Set(L"Text", std::wstring(L"kept by the host"));
    WriteVelmoProperties(bag, all, kAmbient);
    EXPECT_EQ(Names(bag),
              (std::vector<std::wstring>{L"Text", L"BackColor", L"ForeColor", L"Enabled", L"Font",
                                         L"BorderStyle", L"Appearance", L"ToolTipText",
                                         L"INIFileName", L"SettingLocation", L"RegKeyName"}));
    EXPECT_EQ(ReadVelmoProperties(bag, kAmbient), all);

    PropertyBag defaults;
    VelmoProperties initial;
    initial.font = kAmbient;
    WriteVelmoProperties(defaults, initial, kAmbient);
    EXPECT_TRUE(defaults.Entries().empty()) << "first: " << defaults.Entries().size();

    PropertyBag mainWindow;
    VelmoProperties row = initial;
    row.backColor = 0x00C0E0FF;
    row.font = kSongTi;
    row.borderStyle = 0;
    WriteVelmoProperties(mainWindow, row, kAmbient);
    EXPECT_EQ(Names(mainWindow),
              (std::vector<std::wstring>{L"BackColor", L"Font", L"BorderStyle"}));
    EXPECT_EQ(mainWindow.Read(L"BackColor", std::int64_t{}),
              PropertyBag::Value(std::int64_t{0x00C0E0FF}));
}
