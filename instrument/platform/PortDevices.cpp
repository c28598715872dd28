// Which device path stands behind COM1..COM4, and the library-wide state of
// the spectrophotometer link.

#include <mutex>
#include <string>

#include "instrument/platform/LinkState.h"
#include "instrument/platform/SerialPort.h"

namespace lt {

namespace {

std::mutex deviceMutex;
std::string devicePaths[kComPortCount] = {
    "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyUSB1"};

} // namespace

unsigned long setPortDevice(int portNumber, const char* devicePath)
{
    if (portNumber < 1 || portNumber > kComPortCount || !devicePath)
        return 1;
    std::lock_guard lock(deviceMutex);
    devicePaths[portNumber - 1] = devicePath;
    return 0;
}

std::string portDevicePath(int portNumber)
{
    if (portNumber < 1 || portNumber > kComPortCount)
        portNumber = 1;
    std::lock_guard lock(deviceMutex);
    return devicePaths[portNumber - 1];
}

LinkState& linkState()
{
    static LinkState state;
    return state;
}

} // namespace lt

unsigned long CTaviSpec::SetPortDevice(int portNumber, const char* devicePath)
{
    return lt::setPortDevice(portNumber, devicePath);
}
