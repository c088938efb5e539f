#include "model/fields.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vexa {
namespace {

template <class M>
struct MemberTraits;
template <class V, class Rec>
struct MemberTraits<V Rec::*> {
  using Value = V;
  using Record = Rec;
};

// The record that holds a member of type Rec: the general settings, the
// program settings (null when there are none), or row `row` of a family.
template <class Rec, class Config, class Settings>
auto* RecordOf(Config& c, Settings* s, int row) {
  if constexpr (std::is_same_v<Rec, GeneralSettings>) return &c.general;
  else if constexpr (std::is_same_v<Rec, PhoneEntry>) return &c.phones[RowIndex(row)];
  else if constexpr (std::is_same_v<Rec, DigitalInput>) return &c.inputs[RowIndex(row)];
  else if constexpr (std::is_same_v<Rec, DigitalOutput>) return &c.outputs[RowIndex(row)];
  else if constexpr (std::is_same_v<Rec, AnalogInput>) return &c.analogs[RowIndex(row)];
  else return s;
}

// The value of type V that the field reference names, or null when the field
// is of the other kind (or a program setting without settings at hand).
// Config and Settings carry the constness through.
template <class V, class Config, class Settings>
auto* Locate(Config& c, Settings* s, FieldRef f) {
  using Result = std::conditional_t<std::is_const_v<Config>, const V*, V*>;
  const FieldInfo& info = InfoOf(f.field);
  const int row = info.fixedRow >= 0 ? info.fixedRow : f.row;
  return std::visit(
      [&](auto member) -> Result {
        using Traits = MemberTraits<decltype(member)>;
        if constexpr (std::is_same_v<typename Traits::Value, V>) {
          auto* record = RecordOf<typename Traits::Record>(c, s, row);
          return record ? &(record->*member) : nullptr;
        } else {
          return nullptr;
        }
      },
      info.member);
}

}  // namespace

std::size_t RowIndex(int row) {
  if (row < 0 || row >= kRows) {
    std::fprintf(stderr, "vexa: row %d of a table of %d rows\n", row, kRows);
    std::abort();
  }
  return static_cast<std::size_t>(row);
}

std::optional<Field> FieldByName(std::string_view name) {
  for (const auto& info : kFields) {
    if (name == info.name) return info.field;
  }
  return std::nullopt;
}

std::vector<Field> EditorFields(Family family, EditorPanel panel) {
  std::vector<const FieldInfo*> found;
  for (const FieldInfo& info : kFields) {
    if (info.family == family && info.editorPanel == panel) found.push_back(&info);
  }
  std::sort(found.begin(), found.end(),
            [](const FieldInfo* a, const FieldInfo* b) { return a->editorOrder < b->editorOrder; });
  std::vector<Field> fields;
  for (const FieldInfo* info : found) fields.push_back(info->field);
  return fields;
}

bool IsNamedAsGeneralField(FieldRef f) {
  const FieldInfo& info = InfoOf(f.field);
  if (!FamilyHasRows(info.family)) return false;
  for (const FieldInfo& other : kFields) {
    if (other.fixedRow == f.row && other.member == info.member) return true;
  }
  return false;
}

std::string* TextOf(DeviceConfig& c, ProgramSettings& s, FieldRef f) { return Locate<std::string>(c, &s, f); }

const std::string* TextOf(const DeviceConfig& c, const ProgramSettings& s, FieldRef f) {
  return Locate<std::string>(c, &s, f);
}

const std::string* TextOf(const DeviceConfig& c, FieldRef f) {
  return Locate<std::string>(c, static_cast<const ProgramSettings*>(nullptr), f);
}

bool* FlagOf(DeviceConfig& c, ProgramSettings& s, FieldRef f) { return Locate<bool>(c, &s, f); }

const bool* FlagOf(const DeviceConfig& c, const ProgramSettings& s, FieldRef f) { return Locate<bool>(c, &s, f); }

std::string RowLabel(Family family, int row) {
  const std::string n = std::to_string(row + 1);
  switch (family) {
    case Family::Phone: return "T" + n;
    case Family::Input: return "I" + n;
    case Family::Output: return "O" + n;
    case Family::Analog: return row == kBatteryRow ? std::string("BAT") : "A" + n;
    default: return {};
  }
}

std::string FieldDisplayName(FieldRef f) {
  const FieldInfo& info = InfoOf(f.field);
  if (info.family == Family::General || info.family == Family::Program) return info.name;
  return std::string(info.name) + "[" + std::to_string(f.row) + "]";
}

}  // namespace vexa
