#pragma once
// "Init Device" as the instrument page performs it, for tests that measure
// against a virtual instrument on COM1: open the port at 9600 baud, 8 data
// bits, hardware handshake, then take the white reference.
#include <cstdint>

#include <gtest/gtest.h>

#include "core/station/Workstation.h"

namespace lt::testing {

// Opens COM1 for instrumentType and calibrates; portHandle receives the open
// port (null when the open failed). Fails the test on any error.
inline void openAndCalibrateCom1(
    Workstation& station, std::int32_t instrumentType, void*& portHandle)
{
    ComPort port {};
    port.DeviceType = static_cast<std::uint8_t>(instrumentType);
    port.PortNumber = 1;
    port.BaudRate = 9600;
    port.ByteSize = 8;
    port.Handshake = 1;
    FileNames identity {};
    portHandle = station.instrument().GretagPortOpenAndInit(&port, &identity);
    ASSERT_NE(portHandle, nullptr);
    ASSERT_EQ(port.Status, 0u);
    station.record().instrumentType = instrumentType;
    ASSERT_EQ(station.cycle().InitRemission(), 0ul);
}

} // namespace lt::testing
