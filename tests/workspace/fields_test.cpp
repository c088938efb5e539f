// The field table: every field reachable by its name, each name leading to its
// own storage, and the typing limits the windows apply.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/fields.h"

namespace vexa {
namespace {

bool IsRowFamily(Family f) { return f != Family::General && f != Family::Program; }

TEST(Fields, EveryNameLeadsBackToItsField) {
  std::set<std::string> names;
  for (int i = 0; i < kFieldCount; ++i) {
    const auto f = static_cast<Field>(i);
    const FieldInfo& info = InfoOf(f);
    EXPECT_EQ(info.field, f) << i;
    EXPECT_EQ(FieldByName(info.name), f) << info.name;
    EXPECT_TRUE(names.insert(info.name).second) << "duplicate " << info.name;
  }
  for (const char* unknown : {"", "inpnazev", "INPNazev ", "tabINPNazev", "MaskDOutFnc", "CL1Up"}) {
    EXPECT_EQ(FieldByName(unknown), std::nullopt) << unknown;
  }
}

TEST(Fields, TextsAndFlagsHaveTheirOwnStorage) {
  DeviceConfig c;
  ProgramSettings s;
  std::set<const void*> seen;
  for (int i = 0; i < kFieldCount; ++i) {
    const auto f = static_cast<Field>(i);
    const FieldInfo& info = InfoOf(f);
    const int rows = IsRowFamily(info.family) ? kRows : 1;
    for (int r = 0; r < rows; ++r) {
      std::string* text = TextOf(c, s, {f, r});
      bool* flag = FlagOf(c, s, {f, r});
      if (info.kind == FieldKind::Text) {
        ASSERT_NE(text, nullptr) << info.name;
        EXPECT_EQ(flag, nullptr) << info.name;
        // rtBattLow shares the storage of the battery row's AINCL1Dn on purpose.
        if (f == Field::rtBattLow) {
          EXPECT_EQ(text, &c.analogs[kBatteryRow].AINCL1Dn);
          continue;
        }
        EXPECT_TRUE(seen.insert(text).second) << FieldDisplayName({f, r});
        EXPECT_EQ(TextOf(static_cast<const DeviceConfig&>(c), static_cast<const ProgramSettings&>(s), {f, r}), text);
      } else {
        ASSERT_NE(flag, nullptr) << info.name;
        EXPECT_EQ(text, nullptr) << info.name;
        EXPECT_TRUE(seen.insert(flag).second) << FieldDisplayName({f, r});
        EXPECT_EQ(FlagOf(static_cast<const DeviceConfig&>(c), static_cast<const ProgramSettings&>(s), {f, r}), flag);
      }
    }
  }
}

TEST(Fields, RowLabelsAndDisplayNames) {
  struct Case {
    Family family;
    int row;
    std::string label;
  };
  const std::vector<Case> cases = {
      {Family::Phone, 0, "T1"},  {Family::Phone, 7, "T8"},   {Family::Input, 0, "I1"},
      {Family::Input, 7, "I8"},  {Family::Output, 1, "O2"},  {Family::Analog, 0, "A1"},
      {Family::Analog, 6, "A7"}, {Family::Analog, 7, "BAT"}, {Family::General, 0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(RowLabel(c.family, c.row), c.label);
  EXPECT_EQ(FieldDisplayName({Field::INPNazev, 3}), "INPNazev[3]");
  EXPECT_EQ(FieldDisplayName({Field::PIN, 0}), "PIN");
  EXPECT_EQ(FieldDisplayName({Field::UTO, 0}), "UTO");
}

// A row outside the table is a fault of the program: it stops, naming the
// row, instead of editing the first or the last row.
TEST(FieldsDeathTest, RowsOutsideTheTableNeverReachOutsideIt) {
  DeviceConfig c;
  ProgramSettings s;
  for (int row : {-1, 8, 1000}) {
    EXPECT_DEATH(TextOf(c, s, {Field::INPNazev, row}), "row " + std::to_string(row) + " of a table of 8 rows");
    EXPECT_DEATH(FlagOf(c, s, {Field::TCPrijem, row}), "row " + std::to_string(row));
  }
}

}  // namespace
}  // namespace vexa
