#include "tools/orvoprint/operator_output.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>

#include "orvo/automation/conversions.hpp"
#include "orvo/host/service_hub.hpp"

namespace orvoprint {

namespace {

// The columns a character takes on a terminal: two for the wide characters
// of East Asian scripts, one for the rest.
int Width(char32_t c) {
  const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                    (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                    (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                    (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
  return wide ? 2 : 1;
}

char32_t CodePoint(std::string_view text, std::size_t at, std::size_t length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  if (length == 1) return byte(0);
  char32_t c = byte(0) & (0xFF >> (length + 1));
  for (std::size_t i = 1; i < length; ++i) c = (c << 6) | (byte(i) & 0x3F);
  return c;
}

// The text as a cell shows it, with the columns it takes.
std::pair<std::string, std::size_t> Shown(std::string_view text) {
  std::string shown;
  std::size_t width = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = orvo::Utf8CharacterLength(text, at);
    const char32_t c = CodePoint(text, at, length);
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(c));
      shown += escaped;
      width += 4;
    } else {
      shown.append(text.substr(at, length));
      width += static_cast<std::size_t>(Width(c));
    }
    at += length;
  }
  return {shown, width};
}

class ProgressBar {
 public:
  explicit ProgressBar(std::string work) : work_(std::move(work)) {}
  ~ProgressBar() {
    if (drawn_) std::cerr << '\n';
  }

  void Show(std::uint64_t done, std::uint64_t total) {
    constexpr int kWidth = 30;
    const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
    if (percent == percent_) return;
    percent_ = percent;
    const int filled = percent * kWidth / 100;
    std::cerr << '\r' << work_ << " [" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(kWidth - filled), '-') << "] " << percent
              << "% " << done << "/" << total << " rows";
    // The line ends with the work, before the result is printed.
    drawn_ = done < total;
    std::cerr << (drawn_ ? "" : "\n") << std::flush;
  }

 private:
  std::string work_;
  int percent_ = -1;
  bool drawn_ = false;
};

}  // namespace

std::optional<int> ParseCommandOptions(CLI::App& app, const std::vector<std::string>& words,
                                       std::ostream& out) {
  // CLI11 takes the words last first.
  std::vector<std::string> reversed(words.rbegin(), words.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::ParseError& error) {
    throw UsageError(app.get_name() + ": " + error.what());
  }
  return std::nullopt;
}

bool PrintsTable(bool json) {
  return !json && ::isatty(STDOUT_FILENO) == 1;
}

void PrintTable(std::ostream& out, const std::vector<std::string>& headings,
                const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::vector<std::pair<std::string, std::size_t>>> cells;
  std::vector<std::size_t> widths(headings.size(), 0);
  const auto add = [&](const std::vector<std::string>& row) {
    cells.emplace_back();
    for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i) {
      cells.back().push_back(Shown(row[i]));
      widths[i] = std::max(widths[i], cells.back().back().second);
    }
  };
  add(headings);
  for (const std::vector<std::string>& row : rows) add(row);
  for (const auto& row : cells) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i].first;
      if (i + 1 < row.size()) line += std::string(widths[i] - row[i].second + 2, ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
  }
}

std::string CellText(const orvo::Variant& value) {
  if (value.IsNull()) return "";
  if (value.kind() == orvo::Variant::Kind::Date) return value.AsDate().GeneralText();
  return orvo::CStr(value);
}

void PrintMove(std::ostream& out, const orvo::operate::MoveReport& report, bool files, bool json) {
  if (!PrintsTable(json)) {
    OrderedJson rows = OrderedJson::object();
    for (const auto& [table, count] : report.rows) rows[table] = count;
    OrderedJson result{{"rows", rows}};
    if (files) result["files"] = report.files;
    out << result.dump() << '\n';
    return;
  }
  std::vector<std::vector<std::string>> rows;
  for (const auto& [table, count] : report.rows) rows.push_back({table, std::to_string(count)});
  PrintTable(out, {"table", "rows"}, rows);
  if (files) out << report.files << " files of bytes\n";
}

orvo::operate::Watchers CommandWatchers(const std::string& work) {
  orvo::operate::Watchers watchers{orvo::host::ServiceHub::Current()->StatementObserver(), {}};
  if (::isatty(STDERR_FILENO) == 1) {
    auto bar = std::make_shared<ProgressBar>(work);
    watchers.progress = [bar](std::uint64_t done, std::uint64_t total) { bar->Show(done, total); };
  }
  return watchers;
}

OrderedJson RowsJson(const std::vector<orvo::operate::TableRows>& tables) {
  OrderedJson rows = OrderedJson::array();
  for (const orvo::operate::TableRows& table : tables) {
    for (const std::vector<orvo::Variant>& row : table.rows) {
      OrderedJson item{{"table", table.table}, {"family", table.family}};
      for (std::size_t i = 0; i < row.size(); ++i) item[table.columns[i]] = ToJson(row[i]);
      rows.push_back(item);
    }
  }
  return rows;
}

void PrintTables(std::ostream& out, const std::vector<orvo::operate::TableRows>& tables) {
  for (const orvo::operate::TableRows& table : tables) {
    out << "\n" << table.table << " (" << table.family << "): " << table.rows.size() << "\n";
    if (table.rows.empty()) continue;
    std::vector<std::vector<std::string>> cells;
    for (const std::vector<orvo::Variant>& row : table.rows) {
      cells.emplace_back();
      for (const orvo::Variant& value : row) cells.back().push_back(CellText(value));
    }
    PrintTable(out, table.columns, cells);
  }
}

}  // namespace orvoprint
