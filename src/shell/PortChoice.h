#pragma once

#include <optional>
#include <string>

#include "platform/SerialPort.h"
#include "shell/Settings.h"

namespace telvorn {

// Gives the serial port the stored choice, or the device named for this run
// only (`--port`), which leaves the stored choice as it was. False when
// there is neither: the start-up then asks for a port. On Windows the
// number alone names the port ("COMn"); elsewhere the stored device does,
// and a number without one means the n-th standard serial device.
bool ApplyStoredPort(const AppSettings& settings, const std::optional<std::string>& runDevice, SerialPort& port);

} // namespace telvorn
