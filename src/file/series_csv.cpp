// CSV as spreadsheets write it, for the series table and the series log.
#include <array>

#include "codec/cp1250.h"
#include "codec/text.h"
#include "file/series_table.h"

namespace vexa {
namespace {

bool IsUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char c = ReadUtf8Char(text, pos);
    if (!c.valid) return false;
    pos += c.size;
  }
  return true;
}

// The separator the header line (up to its first line end outside quotes)
// uses most; "," when it uses none.
char SeparatorOf(std::string_view text) {
  std::array<std::size_t, 3> counts{};
  constexpr std::array<char, 3> kCandidates{';', ',', '\t'};
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' || c == '\r') break;
    for (std::size_t i = 0; i < kCandidates.size(); ++i) counts[i] += c == kCandidates[i] ? 1 : 0;
  }
  std::size_t best = 1;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    if (counts[i] > counts[best]) best = i;
  }
  return kCandidates[best];
}

bool AllEmpty(const std::vector<std::string>& cells) {
  for (const auto& c : cells) {
    if (!c.empty()) return false;
  }
  return true;
}

}  // namespace

std::string CsvTextOf(std::string_view bytes) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  if (IsUtf8(bytes)) return std::string(bytes);
  return Cp1250ToUtf8(bytes);
}

CsvRows ParseCsv(std::string_view text) {
  CsvRows out;
  out.separator = SeparatorOf(text);
  std::vector<std::string> row;
  std::string cell;
  bool quoted = false;
  const auto endRow = [&] {
    row.push_back(std::move(cell));
    cell.clear();
    if (!AllEmpty(row)) out.rows.push_back(std::move(row));
    row.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') {
        cell.push_back(c);
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        cell.push_back('"');
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == out.separator) {
      row.push_back(std::move(cell));
      cell.clear();
    } else if (c == '\n') {
      endRow();
    } else if (c != '\r') {
      cell.push_back(c);
    }
  }
  if (!cell.empty() || !row.empty()) endRow();
  return out;
}

std::string CsvLine(const std::vector<std::string>& cells, char separator) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line.push_back(separator);
    const std::string& c = cells[i];
    if (c.find_first_of(std::string("\"\r\n") + separator) == std::string::npos) {
      line += c;
      continue;
    }
    line.push_back('"');
    for (const char ch : c) {
      if (ch == '"') line.push_back('"');
      line.push_back(ch);
    }
    line.push_back('"');
  }
  return line;
}

}  // namespace vexa
