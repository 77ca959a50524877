#include "program_rig.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <regex>
#include <sstream>

#include "platform/qt_serial_control.h"

namespace dornvel::e2e {

namespace {

constexpr char kNoDevice[] = "/nonexistent/dornvel-e2e-port";
constexpr int kPortCount = 16;

std::string BoxText(const FormMain& window, const char* box) {
  return window.findChild<QLineEdit*>(QString::fromUtf8(box))->text().toStdString();
}

}  // namespace

PortsMappedTo::PortsMappedTo(const std::string& com1) {
  for (int n = 1; n <= kPortCount; ++n) {
    variables_.push_back(
        std::make_unique<testing::ScopedEnv>("DORNVEL_COM" + std::to_string(n), n == 1 ? com1 : kNoDevice));
  }
}

WindowOnSimulator::WindowOnSimulator(const std::string& com1, std::map<QString, QString> savedSettings)
    : ports_(com1) {
  settings_.values = std::move(savedSettings);
  QApplication::setQuitOnLastWindowClosed(false);
  window_ = std::make_unique<FormMain>(
      ProtocolServices{pump_, clock_},
      [](HostWindow* parent) { return std::make_unique<QtSerialControl>(parent); }, settings_, dialogs);
  QObject::connect(window_.get(), &FormMain::tickFinished, window_.get(), [this] {
    views_.push_back({BoxText(*window_, "nolu"), BoxText(*window_, "switch"), BoxText(*window_, "slaveid"),
                      BoxText(*window_, "Boudrate"), window_->Panel(3)->text().toStdString(),
                      window_->Panel(4)->text().toStdString()});
  });
  window_->Form_Load();
}

WindowOnSimulator::~WindowOnSimulator() {
  Close();
  window_.reset();
  // Whatever the window left queued must not outlive it.
  QCoreApplication::processEvents();
}

bool WindowOnSimulator::RunTicks(int count, Milliseconds deadline) {
  const std::size_t wanted = views_.size() + static_cast<std::size_t>(count);
  QEventLoop loop;
  QObject::connect(window_.get(), &FormMain::tickFinished, &loop, [&] {
    if (views_.size() >= wanted) loop.quit();
  });
  QTimer::singleShot(deadline, &loop, &QEventLoop::quit);
  loop.exec();
  return views_.size() >= wanted;
}

void WindowOnSimulator::Close() {
  if (window_ && window_->isVisible()) window_->close();
}

ProgramProcess::ProgramProcess(const TempDir& dir, const std::string& com1, int ticks)
    : stderr_file_(dir / "dornvel-stderr.txt") {
  // The child takes the environment as it is when it is spawned.
  PortsMappedTo ports(com1);
  testing::ScopedEnv trace("DORNVEL_TRACE", "1");
  testing::ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");
  testing::ScopedEnv config("XDG_CONFIG_HOME", (dir / "config").string());
  testing::ScopedEnv quit("DORNVEL_QUIT_AFTER_TICKS", std::to_string(ticks));
  testing::ScopedEnv noPicture("DORNVEL_SCREENSHOT", std::nullopt);
  process_ = std::make_unique<Process>(DORNVEL_PROGRAM_PATH, std::vector<std::string>{}, stderr_file_);
}

std::optional<int> ProgramProcess::WaitForExit(Milliseconds within) { return process_->wait_exit(within); }

std::vector<LogLine> TrafficLog(const std::string& log) {
  // "    1.545479 TX 01 04 04 00 00 41 48 CB E2  | request #1"
  static const std::regex line(R"(^\s*([0-9.]+) (RX|TX|EV) (.*?)(\s+\|.*)?$)");
  std::vector<LogLine> lines;
  std::istringstream in(log);
  for (std::string text; std::getline(in, text);) {
    std::smatch match;
    if (std::regex_match(text, match, line)) lines.push_back({std::stod(match[1]), match[2], match[3]});
  }
  return lines;
}

std::vector<std::string> Requests(const std::vector<LogLine>& log) {
  std::vector<std::string> requests;
  for (const LogLine& line : log) {
    if (line.kind == "RX") requests.push_back(line.text);
  }
  return requests;
}

std::vector<std::string> TracedRequests(const std::string& trace) {
  static const std::regex request(R"(^[0-9]+\.[0-9]{3} \S+ -> (.*)$)");
  std::vector<std::string> requests;
  std::istringstream in(trace);
  for (std::string text; std::getline(in, text);) {
    std::smatch match;
    if (std::regex_match(text, match, request)) requests.push_back(match[1]);
  }
  return requests;
}

}  // namespace dornvel::e2e
