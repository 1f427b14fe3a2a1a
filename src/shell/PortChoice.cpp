#include "shell/PortChoice.h"

#include "platform/LineSettings.h"

namespace telvorn {

bool ApplyStoredPort(const AppSettings& settings, const std::optional<std::string>& runDevice, SerialPort& port)
{
    if (settings.port != 0)
        port.setCommPort(settings.port);
    if (runDevice) {
        port.setDevice(*runDevice);
        return true;
    }
    if (settings.port == 0)
        return false;
#ifndef _WIN32
    port.setDevice(settings.device.empty() ? DefaultDeviceOfPort(settings.port) : settings.device);
#endif
    return true;
}

} // namespace telvorn
