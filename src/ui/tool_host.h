#pragma once

#include <functional>
#include <memory>

#include "protocol/meter_model.h"
#include "protocol/protocol_services.h"
#include "readings/reading.h"

class QWidget;

namespace dornvel {

class HostWindow;
class Line;
class SerialControl;

// Makes a serial control, hosted by the window it is given (none: null).
using SerialControlFactory = std::function<std::unique_ptr<SerialControl>(HostWindow* parent)>;

// What the main window offers the tools beside it, and all they may reach of
// it: the line they take turns on with polling, a way to start between ticks,
// and the meter it polls. While a tool holds the line, polling pauses by itself
// (and says so in panel 4); it resumes when the tool lets go.
class ToolHost {
 public:
  virtual ~ToolHost() = default;

  virtual Line& CommLine() const = 0;
  // Makes serial controls like the line's, for a tool that runs its exchanges
  // on a thread of its own: a control belongs to the thread that made it.
  virtual SerialControlFactory PortMaker() const = 0;
  virtual ProtocolServices Services() const = 0;
  // The window, as the parent of a tool's dialogs.
  virtual QWidget* DialogParent() = 0;

  // Runs `start` now when no tick runs, else from the event loop once the
  // running tick has ended: a modal dialog's loop, or a tool's hold on the
  // line, must never begin inside a tick.
  virtual void BetweenTicks(std::function<void()> start) = 0;
  // The same for a tool that takes the line: the running tick starts no
  // further exchange, so that the tool need not wait for its time-outs.
  virtual void WhenLineFree(std::function<void()> start) = 0;

  // The slave id the tags address and the rate the port is set to.
  virtual MeterAddress MeterInUse() const = 0;
  // What the last finished tick learned of the meter.
  virtual Reading LastReading() const = 0;
  // Polls the meter at `meter` from now on: its rate and slave id chosen as if
  // the user had chosen them (rate first).
  virtual void UseMeter(MeterAddress meter) = 0;
};

}  // namespace dornvel
