#pragma once

#include <string>
#include <string_view>

#include "protocol/bytes.h"
#include "protocol/clock.h"

namespace dornvel {

class HostWindow;

// The port number that names no port.
inline constexpr int kNoPort = 0;

// Whether a wait lets pending window events run meanwhile.
enum class WaitEvents { Run, Hold };

enum class TraceDirection { Request, Reply };

// The serial communications control: I/O only (the state of the line above it
// is Line's). Port numbers and line settings change only while the port is closed.
class SerialControl {
 public:
  virtual ~SerialControl() = default;

  // Opening a missing, busy or forbidden port fails quietly: PortOpen() then reads
  // false. Opening an open port leaves it open.
  virtual void SetPortOpen(bool open) = 0;
  virtual bool PortOpen() const = 0;

  // kNoPort chooses no port: opening then does nothing. Refused (false, nothing
  // changed) while the port is open or for a negative number.
  virtual bool SetCommPort(int number) = 0;
  virtual int CommPort() const = 0;
  // Why the last opening failed, for the user to read; empty once the port opened.
  virtual std::string OpenFailure() const = 0;
  // Whether the device of port `number` is there now, found without opening it.
  virtual bool PortPresent(int number) const = 0;

  // "baud,parity,data bits,stop bits", e.g. "9600,N,8,2". Refused (false, nothing
  // changed) while the port is open or when the text does not parse.
  virtual bool SetSettings(std::string_view text) = 0;
  virtual std::string Settings() const = 0;

  // Received bytes not yet taken.
  virtual int InBufferCount() = 0;
  // Takes every received byte, in arrival order.
  virtual Bytes Input() = 0;
  // Queues a frame for sending.
  virtual void SetOutput(const Bytes& frame) = 0;
  // Queued bytes not yet handed to the line.
  virtual int OutBufferCount() = 0;
  // Drops queued bytes that were not sent.
  virtual void DropOutput() = 0;

  // Blocks until new input arrives or the limit passes.
  virtual void WaitForInput(Duration limit, WaitEvents events) = 0;
  // Blocks until the output has drained or the limit passes.
  virtual void WaitForOutputDrained(Duration limit, WaitEvents events) = 0;

  // The window that hosts this control; null when it has none.
  virtual HostWindow* Parent() const = 0;

  // Traffic log of requests and replies; off unless the platform turns it on.
  virtual void Trace(TraceDirection, std::string_view /*tagName*/, const Bytes& /*bytes*/) {}
};

}  // namespace dornvel
