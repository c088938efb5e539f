#include "file/config_json.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <variant>

#include <nlohmann/json.hpp>

#include "codec/values.h"
#include "texts/texts.h"
#include "model/fields.h"

namespace vexa {
namespace {

using nlohmann::json;
using nlohmann::ordered_json;

enum class Kind { Text, Number, Flag, Byte };

template <class Rec>
struct Member {
  const char* name;
  Kind kind;
  std::string Rec::*text = nullptr;
  bool Rec::*flag = nullptr;
  std::uint8_t Rec::*byte = nullptr;
};

template <class Rec>
constexpr Member<Rec> T(const char* n, std::string Rec::*m) {
  return {n, Kind::Text, m, nullptr, nullptr};
}
template <class Rec>
constexpr Member<Rec> N(const char* n, std::string Rec::*m) {
  return {n, Kind::Number, m, nullptr, nullptr};
}
template <class Rec>
constexpr Member<Rec> F(const char* n, bool Rec::*m) {
  return {n, Kind::Flag, nullptr, m, nullptr};
}
template <class Rec>
constexpr Member<Rec> B(const char* n, std::uint8_t Rec::*m) {
  return {n, Kind::Byte, nullptr, nullptr, m};
}

// The keys of a record: the fields the field table keeps in it, in the
// table's order (rtBattLow, kept in the battery row, is no key of its own),
// then the carried bytes `extra`.
template <class Rec>
constexpr std::size_t KeyCount() {
  std::size_t n = 0;
  for (const FieldInfo& info : kFields) {
    if (info.fixedRow < 0 && (std::holds_alternative<std::string Rec::*>(info.member) ||
                              std::holds_alternative<bool Rec::*>(info.member))) {
      ++n;
    }
  }
  return n;
}

template <class Rec, std::size_t Extra = 0>
constexpr std::array<Member<Rec>, KeyCount<Rec>() + Extra> MembersOf(const std::array<Member<Rec>, Extra>& extra = {}) {
  std::array<Member<Rec>, KeyCount<Rec>() + Extra> out{};
  std::size_t n = 0;
  for (const FieldInfo& info : kFields) {
    if (info.fixedRow >= 0) continue;
    // holds_alternative and get rather than get_if: a sanitizer build cannot
    // evaluate get_if's pointer test at compile time.
    if (std::holds_alternative<std::string Rec::*>(info.member)) {
      const auto text = std::get<std::string Rec::*>(info.member);
      out[n++] = info.form == TextForm::Number ? N(info.name, text) : T(info.name, text);
    } else if (std::holds_alternative<bool Rec::*>(info.member)) {
      out[n++] = F(info.name, std::get<bool Rec::*>(info.member));
    }
  }
  for (const auto& m : extra) out[n++] = m;
  return out;
}

using A = AnalogInput;
constexpr auto kGeneral = MembersOf<GeneralSettings>();
constexpr auto kPhone = MembersOf<PhoneEntry>();
constexpr auto kInput = MembersOf<DigitalInput>();
constexpr auto kOutput = MembersOf<DigitalOutput>();
constexpr auto kAnalog = MembersOf<A, 1>({{B("sendAtOnceByte", &A::sendAtOnceByte)}});

// Numeric fields travel with "." whatever the user's notation.
std::string WithPoint(std::string text) {
  std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

template <class Rec, std::size_t K>
ordered_json RecordToJson(const Rec& rec, const std::array<Member<Rec>, K>& members) {
  ordered_json out = ordered_json::object();
  for (const auto& m : members) {
    switch (m.kind) {
      case Kind::Text: out[m.name] = rec.*m.text; break;
      case Kind::Number: out[m.name] = WithPoint(rec.*m.text); break;
      case Kind::Flag: out[m.name] = rec.*m.flag; break;
      case Kind::Byte: out[m.name] = int{rec.*m.byte}; break;
    }
  }
  return out;
}

template <class Rec, std::size_t N, std::size_t K>
ordered_json RowsToJson(const std::array<Rec, N>& rows, const std::array<Member<Rec>, K>& members) {
  ordered_json out = ordered_json::array();
  for (const Rec& r : rows) out.push_back(RecordToJson(r, members));
  return out;
}

std::optional<std::uint8_t> ByteOf(const json& value) {
  if (value.is_number_unsigned()) {
    const auto v = value.get<std::uint64_t>();
    if (v <= 255) return static_cast<std::uint8_t>(v);
  } else if (value.is_number_integer()) {
    const auto v = value.get<std::int64_t>();
    if (v >= 0 && v <= 255) return static_cast<std::uint8_t>(v);
  }
  return std::nullopt;
}

std::optional<std::string> NumberTextOf(const json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_unsigned()) return std::to_string(value.get<std::uint64_t>());
  if (value.is_number_integer()) return std::to_string(value.get<std::int64_t>());
  if (value.is_number_float()) return FormatNumber(value.get<double>(), '.');
  return std::nullopt;
}

template <class Rec, std::size_t K>
bool RecordFromJson(const json& in, const std::string& path, const std::array<Member<Rec>, K>& members, Rec& rec,
                    std::string& error) {
  if (!in.is_object()) {
    error = texts::JsonMustBeObject(path);
    return false;
  }
  for (auto it = in.begin(); it != in.end(); ++it) {
    const std::string& key = it.key();
    const json& value = it.value();
    const std::string where = path + "." + key;
    const auto m = std::find_if(members.begin(), members.end(), [&](const auto& x) { return key == x.name; });
    if (m == members.end()) {
      error = texts::JsonUnknownKey(where);
      return false;
    }
    switch (m->kind) {
      case Kind::Text:
        if (!value.is_string()) {
          error = texts::JsonMustBeText(where);
          return false;
        }
        rec.*m->text = value.get<std::string>();
        break;
      case Kind::Number: {
        auto text = NumberTextOf(value);
        if (!text) {
          error = texts::JsonMustBeNumber(where);
          return false;
        }
        rec.*m->text = std::move(*text);
        break;
      }
      case Kind::Flag:
        if (!value.is_boolean()) {
          error = texts::JsonMustBeFlag(where);
          return false;
        }
        rec.*m->flag = value.get<bool>();
        break;
      case Kind::Byte: {
        const auto byte = ByteOf(value);
        if (!byte) {
          error = texts::JsonMustBeByte(where);
          return false;
        }
        rec.*m->byte = *byte;
        break;
      }
    }
  }
  return true;
}

template <class Rec, std::size_t N, std::size_t K>
bool RowsFromJson(const json& in, const std::string& path, const std::array<Member<Rec>, K>& members,
                  std::array<Rec, N>& rows, std::string& error) {
  if (!in.is_array() || in.size() > N) {
    error = texts::JsonMustBeRows(path, N);
    return false;
  }
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (!RecordFromJson(in[i], path + "[" + std::to_string(i) + "]", members, rows[i], error)) return false;
  }
  return true;
}

// The keys of `full` (a complete configuration) that `in` leaves out.
void CollectMissing(const ordered_json& full, const json& in, const std::string& path, std::vector<std::string>& out) {
  if (full.is_object()) {
    for (auto it = full.begin(); it != full.end(); ++it) {
      const std::string where = path.empty() ? it.key() : path + "." + it.key();
      if (in.is_object() && in.contains(it.key())) {
        CollectMissing(it.value(), in[it.key()], where, out);
      } else {
        out.push_back(where);
      }
    }
  } else if (full.is_array()) {
    for (std::size_t i = 0; i < full.size(); ++i) {
      const std::string where = path + "[" + std::to_string(i) + "]";
      if (in.is_array() && i < in.size()) {
        CollectMissing(full[i], in[i], where, out);
      } else {
        out.push_back(where);
      }
    }
  }
}

}  // namespace

ordered_json ConfigToJson(const DeviceConfig& config) {
  ordered_json out = ordered_json::object();
  out["general"] = RecordToJson(config.general, kGeneral);
  out["phones"] = RowsToJson(config.phones, kPhone);
  out["inputs"] = RowsToJson(config.inputs, kInput);
  out["outputs"] = RowsToJson(config.outputs, kOutput);
  out["outputFunctionByte"] = int{config.outputFunctionByte};
  out["analogs"] = RowsToJson(config.analogs, kAnalog);
  return out;
}

std::string ConfigToJsonText(const DeviceConfig& config) {
  return ConfigToJson(config).dump(1, ' ', false, ordered_json::error_handler_t::replace);
}

bool ConfigFromJson(const json& in, DeviceConfig& config, std::string& error) {
  if (!in.is_object()) {
    error = texts::kJsonNotObject;
    return false;
  }
  DeviceConfig result = config;
  for (const auto& [key, value] : in.items()) {
    bool ok = true;
    if (key == "general") {
      ok = RecordFromJson(value, key, kGeneral, result.general, error);
    } else if (key == "phones") {
      ok = RowsFromJson(value, key, kPhone, result.phones, error);
    } else if (key == "inputs") {
      ok = RowsFromJson(value, key, kInput, result.inputs, error);
    } else if (key == "outputs") {
      ok = RowsFromJson(value, key, kOutput, result.outputs, error);
    } else if (key == "analogs") {
      ok = RowsFromJson(value, key, kAnalog, result.analogs, error);
    } else if (key == "outputFunctionByte") {
      const auto byte = ByteOf(value);
      if (byte) {
        result.outputFunctionByte = *byte;
      } else {
        error = texts::JsonMustBeByte(key);
        ok = false;
      }
    } else {
      error = texts::JsonUnknownKey(key);
      ok = false;
    }
    if (!ok) return false;
  }
  config = std::move(result);
  return true;
}

namespace {

// Notes each key that an object gives twice, as "general.PIN" or
// "phones[2].Cislo", while the parser reads the text; the parser itself
// keeps the last value of such a key.
class DuplicateKeys {
 public:
  explicit DuplicateKeys(std::vector<std::string>* out) : out_(out) {}

  bool operator()(int, json::parse_event_t event, json& parsed) {
    using E = json::parse_event_t;
    switch (event) {
      case E::object_start:
      case E::array_start:
        Element();
        frames_.emplace_back();
        frames_.back().array = event == E::array_start;
        break;
      case E::object_end:
      case E::array_end:
        if (!frames_.empty()) frames_.pop_back();
        break;
      case E::key: {
        Frame& f = frames_.back();
        f.key = parsed.get<std::string>();
        if (!f.keys.insert(f.key).second && out_ != nullptr) out_->push_back(Path());
        break;
      }
      case E::value: Element(); break;
    }
    return true;
  }

 private:
  struct Frame {
    bool array = false;
    long index = -1;
    std::string key;
    std::set<std::string> keys;
  };
  // A value, an object or an array begins: in an array, the next element.
  void Element() {
    if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
  }
  std::string Path() const {
    std::string p;
    for (const Frame& f : frames_) {
      if (f.array) {
        p += "[" + std::to_string(f.index) + "]";
      } else {
        p += (p.empty() ? "" : ".") + f.key;
      }
    }
    return p;
  }

  std::vector<std::string>* out_;
  std::vector<Frame> frames_;
};

// Where the parser stopped: the line and column (in characters) of the byte
// it counts as `byte`, from 1.
std::string SyntaxError(std::string_view text, std::size_t byte) {
  const std::size_t end = std::min(byte > 0 ? byte - 1 : 0, text.size());
  std::size_t line = 1;
  std::size_t column = 1;
  for (std::size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++column;  // a character's first byte
    }
  }
  return texts::JsonSyntaxError(line, column);
}

}  // namespace

bool ConfigFromJsonText(std::string_view text, DeviceConfig& config, std::string& error,
                        std::vector<std::string>* missing, std::vector<std::string>* warnings) {
  if (text.size() > kMaxJsonText) {
    error = texts::JsonTooLong(kMaxJsonText);
    return false;
  }
  json parsed;
  std::vector<std::string> duplicates;
  try {
    parsed = json::parse(text, DuplicateKeys(&duplicates));
  } catch (const json::parse_error& e) {
    error = SyntaxError(text, e.byte);
    return false;
  } catch (const json::exception&) {
    error = texts::kJsonInvalid;
    return false;
  }
  if (!ConfigFromJson(parsed, config, error)) return false;
  if (warnings != nullptr) {
    for (const auto& key : duplicates) warnings->push_back(texts::JsonGivenTwice(key));
  }
  if (missing != nullptr) CollectMissing(ConfigToJson(DeviceConfig{}), parsed, "", *missing);
  return true;
}

}  // namespace vexa
