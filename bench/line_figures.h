#pragma once

namespace dornvel::bench {

// Rows of the figures table measured over the line, each a median of
// repeated runs (see figure_row.h).
void PrintTransactionTimes();
void PrintCpuTimes();
void PrintStartUpTime();

}  // namespace dornvel::bench
