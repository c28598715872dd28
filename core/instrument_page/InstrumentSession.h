#pragma once
// What the instrument page asks of the instrument, whichever family it
// belongs to. The page picks the session from the device type's family
// (DeviceTypes.h) and runs each call on the exchange worker; a session
// reads and writes the page's shared state in its SessionContext.
namespace lt {

struct DeviceType;

class InstrumentSession {
public:
    virtual ~InstrumentSession() = default;

    virtual void initDevice(const DeviceType& type) = 0;
    virtual void acquire(const DeviceType& type) = 0;
    // The remote timer's tick: asks the instrument whether its key was pressed.
    virtual void remotePoll() = 0;
    virtual void newParameter(const DeviceType& type) = 0;
    virtual void darkReference() = 0;
    virtual void zeroReference() = 0;
    // The measuring mode (reflection, transmission, emission) changed: true
    // when the instrument must be told (then sendMeasureMode runs as an exchange).
    virtual bool tellsMeasureMode() const = 0;
    virtual void sendMeasureMode(int mode) = 0;
};

} // namespace lt
