// The program against dornvel-sim over a pseudo-terminal, as a whole process
// and as one tag in this process: transaction time, CPU time, start-up.
#include <QCoreApplication>

#include "bench/line_figures.h"

int main(int argc, char** argv) {
  // The serial control and its event pump need a Qt application.
  QCoreApplication app(argc, argv);
  const auto transactionCpu = dornvel::bench::PrintTransactionTimes();
  dornvel::bench::PrintCpuTimes(transactionCpu);
  dornvel::bench::PrintStartUpTime();
  return 0;
}
