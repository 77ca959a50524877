#pragma once

#include <optional>

namespace dornvel::bench {

// The rate at which CPU time is compared with mbpoll's.
constexpr int kCpuBaud = 9600;

// Rows of the figures table measured over the line, each a median of
// repeated runs (see figure_row.h).

// Prints the wall-time rows; returns the CPU time in seconds of one read of
// "nolu" at kCpuBaud by a tag in this process, when the reads succeeded.
std::optional<double> PrintTransactionTimes();
void PrintCpuTimes(std::optional<double> transactionCpuSeconds);
void PrintStartUpTime();

}  // namespace dornvel::bench
