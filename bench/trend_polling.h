#pragma once

namespace dornvel::bench {

// Rows of the figures table (see figure_row.h): the program as a child
// process polling dornvel-sim once a second, with the trend window closed and
// open, its CPU per tick and the period it keeps.
void PrintTrendPollingFigures();

}  // namespace dornvel::bench
