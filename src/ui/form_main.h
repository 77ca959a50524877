#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/host_window.h"
#include "protocol/protocol_services.h"
#include "tags/meter_session.h"
#include "ui/tool_host.h"

class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTimer;

namespace dornvel {

class Dialogs;
class Line;
class MBCollection;
class SerialControl;
class SettingsStore;
struct NumberAnswer;
struct NumberQuestion;

// One control as the window enumerates them. The serial control is no Qt object,
// so its entry carries only the name.
struct WindowControl {
  QString name;
  QObject* object;
};

// The program's one window: the meter's four values, the computer's port
// settings, a status bar; it polls the meter once a second.
class FormMain : public QWidget, public HostWindow, public ToolHost {
  Q_OBJECT

 public:
  FormMain(ProtocolServices services, const SerialControlFactory& makeSerialControl, SettingsStore& settings,
           Dialogs& dialogs);
  ~FormMain() override;

  // Start-up: restores the settings, finds the ports that open, lets the list
  // handlers open the chosen one, creates the tags, starts polling and shows the
  // window.
  void Form_Load();
  // Shutdown (on closing): saves the settings, stops polling and closes the port,
  // which ends the waits of an exchange in progress. The tags go as soon as no
  // tick uses them.
  void Form_Unload();

  // The tick of Timer1: refreshes the four tags and shows their values.
  void Timer1_Timer();
  // Port settings.
  void ProgCom_Click();
  void ProgBoudRate_Click();
  void ProgSlave_Click();
  // The same choices as if the user had typed `answer` into the slave-id box's
  // input box, or chosen `rate` in the rate list.
  void EnterSlaveId(const QString& answer);
  void ChooseRate(const QString& rate);
  // The same for `entry` ("Com7") in the port list, also when it is not among
  // the ports the list offers.
  void ChoosePort(const QString& entry);
  // Device re-configuration: the next tick writes the new value.
  void slaveid_Click();
  void Boudrate_Click();

  // The 21 controls, in the window's control order.
  const std::vector<WindowControl>& Controls() const { return controls_; }
  SerialControl& MSComm() const { return *comm_; }
  // What the tools reach of the window.
  Line& CommLine() const override { return *line_; }
  SerialControlFactory PortMaker() const override { return makeSerialControl_; }
  ProtocolServices Services() const override { return services_; }
  QWidget* DialogParent() override { return this; }
  void BetweenTicks(std::function<void()> start) override;
  void WhenLineFree(std::function<void()> start) override;
  MeterAddress MeterInUse() const override;
  void UseMeter(MeterAddress meter) override;
  // The tag registry; null before start-up and after shutdown.
  MBCollection* Tags() const { return session_ ? &session_->Tags() : nullptr; }
  // The settings store the window keeps its settings in; a tool keeps its own
  // there too, saved with the window's.
  SettingsStore& Settings() const { return settings_; }
  // Panel 1 to 4 of StatusBar1.
  QLabel* Panel(int number) const;
  // Whether a tick is running (its exchanges may be waiting on the line).
  bool TickRunning() const { return tickRunning_; }
  // The running tick starts no further exchange; its tags not yet refreshed
  // keep what they show.
  void EndTickEarly() { endTickEarly_ = tickRunning_; }
  // What the last finished tick learned.
  Reading LastReading() const override;

  // What the tags reach of the window.
  bool CommBusy() const override;
  std::string ErrorCountText() const override;
  void SetErrorCountText(const std::string& text) override;
  void SetMessageText(const std::string& text) override;

 signals:
  // A tick has shown all four values.
  void tickFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void ConnectHandlers();
  void ScanPorts();
  // Chooses entry `index` of a list and runs the list's handler, as a choice by
  // the user does; also when the entry was already chosen.
  void Select(QComboBox* list, int index, void (FormMain::*onClick)());
  void SelectSaved(QComboBox* list, const QString& saved, void (FormMain::*onClick)());
  void AwaitSavedPort(int number);
  void UseAwaitedPortOnceThere();
  void StepProgressBar();
  void ResetProgressBar();
  // Shows the value of the tag at `index` of kMeterTags in its box.
  void ShowTag(std::size_t index);
  // A value not confirmed by the device (no answer, a refused reply, an
  // error, no number) gets the error background.
  void SetBackground(QLineEdit* box, bool unconfirmed);
  void Reconfigure(const char* tagKey, const NumberQuestion& question);
  void ApplySlaveId(const std::optional<NumberAnswer>& answer);
  QString RateForNewPort() const;
  void ForgetDeviceValues();
  void ShowPortProblem();
  void RefreshPortList();

  ProtocolServices services_;
  SettingsStore& settings_;
  Dialogs& dialogs_;
  const SerialControlFactory makeSerialControl_;
  // Declared before the tags, which hold it, so that it outlives them.
  std::unique_ptr<SerialControl> comm_;
  std::unique_ptr<Line> line_;
  std::unique_ptr<MeterSession> session_;

  std::vector<WindowControl> controls_;
  QLineEdit* progSlave_ = nullptr;
  QComboBox* progBoudRate_ = nullptr;
  QComboBox* progCom_ = nullptr;
  QProgressBar* progressBar1_ = nullptr;
  QTimer* timer1_ = nullptr;
  // In the order of kMeterTags.
  std::array<QLineEdit*, 4> valueBoxes_{};
  std::array<QLabel*, 4> panels_{};

  // The saved port, not present at start-up, until it is there or the user
  // chooses a port; and why it did not open.
  struct AwaitedPort {
    int number;
    QString why;
  };
  std::optional<AwaitedPort> awaitedPort_;
  bool tickRunning_ = false;
  bool endTickEarly_ = false;
  bool unloaded_ = false;
};

}  // namespace dornvel
