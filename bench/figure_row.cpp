#include "bench/figure_row.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace dornvel::bench {

void Print(const FigureRow& row) {
  const char* verdict = !row.pass ? "-" : *row.pass ? "PASS" : "FAIL";
  std::cout << row.figure << '\t' << row.target << '\t' << row.measured << '\t' << row.peer << '\t' << verdict
            << std::endl;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace dornvel::bench
