#include "audio/figures.h"

#include <algorithm>
#include <charconv>

namespace kestrel::bench {

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  if (values.size() % 2 == 1) return values[middle];
  return (values[middle - 1] + values[middle]) / 2;
}

std::string Fixed(double value, int decimals) {
  char text[64];
  const auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return std::string(text, result.ptr);
}

std::string TextTable(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()), 0);
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  std::string out;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    std::string line;
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      line += rows[r][c];
      if (c + 1 < rows[r].size()) line += std::string(widths[c] - rows[r][c].size() + 2, ' ');
    }
    out += line + "\n";
    if (r == 0) {
      std::size_t total = 0;
      for (std::size_t width : widths) total += width + 2;
      out += std::string(total > 2 ? total - 2 : 0, '-') + "\n";
    }
  }
  return out;
}

std::string FigureTable(const std::vector<FigureRow>& rows) {
  std::vector<std::vector<std::string>> cells = {
      {"measure", "Kestrel", "peer", "ratio", "target", "result", "cpu ratio"}};
  for (const FigureRow& row : rows) {
    if (!row.measured || row.peer <= 0) {
      cells.push_back({row.measure, "-", "-", "-", "<= " + Fixed(row.limit, 2), "NOT RUN"});
      continue;
    }
    const double ratio = row.kestrel / row.peer;
    const int decimals = row.unit == "s" ? 3 : 1;
    cells.push_back({row.measure, Fixed(row.kestrel, decimals) + " " + row.unit,
                     Fixed(row.peer, decimals) + " " + row.unit, Fixed(ratio, 3),
                     "<= " + Fixed(row.limit, 2), ratio <= row.limit ? "pass" : "FAIL",
                     row.cpu_ratio >= 0 ? Fixed(row.cpu_ratio, 3) : "-"});
  }
  return TextTable(cells);
}

}  // namespace kestrel::bench
