#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dornvel::bench {

// One row of the figures table. The figure programs print rows as
// tab-separated lines (figure, target, measured, peer, verdict); run-all.sh
// gathers them into one table.
struct FigureRow {
  std::string figure;
  std::string target;
  std::string measured;
  std::string peer = "-";
  // Empty for a figure that is only reported.
  std::optional<bool> pass;
};

void Print(const FigureRow& row);

double Median(std::vector<double> values);
std::string Fixed(double value, int decimals);

}  // namespace dornvel::bench
