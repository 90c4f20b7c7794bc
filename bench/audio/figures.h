#pragma once

#include <string>
#include <vector>

// Medians and the printed tables of the benchmark.
namespace kestrel::bench {

// The median of the values (the mean of the middle two for an even count); 0 when empty.
double Median(std::vector<double> values);

// The number with `decimals` places, locale-free.
std::string Fixed(double value, int decimals);

struct FigureRow {
  std::string measure;
  std::string unit;  // "s", "MiB"
  double kestrel = 0;
  double peer = 0;
  double limit = 0;       // the largest ratio kestrel / peer that passes
  double cpu_ratio = -1;  // the same ratio in CPU time, when measured (informative)
  bool measured = false;  // false: something did not run; printed as such
};

// measure | Kestrel | peer | ratio | target | result | cpu ratio, as a fixed-width text table.
// The result is judged on the ratio (wall time or memory).
std::string FigureTable(const std::vector<FigureRow>& rows);

// A plain table with a header row; columns as wide as their longest cell.
std::string TextTable(const std::vector<std::vector<std::string>>& rows);

}  // namespace kestrel::bench
