#include "ltsim/Simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <mutex>
#include <string_view>
#include <thread>

#include "AsciiInstrument.h"
#include "Bench.h"
#include "ChartLayout.h"
#include "FaultInjector.h"
#include "LinePacing.h"
#include "Measurement.h"
#include "PseudoTerminal.h"
#include "SpectrometerInstrument.h"

namespace ltsim {

namespace {

constexpr unsigned kDefaultBaud = 9600;
constexpr unsigned kDefaultSpectrometerBaud = 19200;
constexpr int kLineIdleMs = 100; // [ms] a pause that ends a request still incomplete
constexpr std::size_t kMaxLoggedRequests = 20000;
constexpr std::size_t kReadChunk = 4096;

struct NamedKind {
    const char* name;
    DeviceKind kind;
};
const NamedKind kDeviceNames[] = {{"lumatrak-s", DeviceKind::LumatrakS},
    {"lumatrak-a", DeviceKind::LumatrakA}, {"spectrolino", DeviceKind::Spectrolino},
    {"spectrometer", DeviceKind::Spectrometer}};

unsigned defaultBaud(DeviceKind kind)
{
    return kind == DeviceKind::Spectrometer ? kDefaultSpectrometerBaud : kDefaultBaud;
}

double defaultPitch(ChartKind kind)
{
    return kind == ChartKind::It8 ? kIt8Pitch : kTqPitch;
}

} // namespace

std::optional<DeviceKind> parseDeviceKind(std::string_view name)
{
    for (const NamedKind& entry : kDeviceNames) {
        if (name == entry.name)
            return entry.kind;
    }
    return std::nullopt;
}

const char* deviceKindName(DeviceKind kind)
{
    for (const NamedKind& entry : kDeviceNames) {
        if (entry.kind == kind)
            return entry.name;
    }
    return "lumatrak-s";
}

std::optional<ChartKind> parseChartKind(std::string_view name)
{
    if (name == "it8")
        return ChartKind::It8;
    if (name == "tqcmyk")
        return ChartKind::TqCmyk;
    if (name == "tqrgb")
        return ChartKind::TqRgb;
    return std::nullopt;
}

struct Simulator::Impl {
    explicit Impl(SimulatorOptions o) : options(std::move(o))
    {
        bench.samples = SampleLibrary(options.dotGain);
        bench.sampleName = options.sample;
        bench.noise = options.noise;
        bench.random.seed(options.noiseSeed);
        ChartKind chartKind = options.chart.value_or(ChartKind::It8);
        bench.chart.kind = chartKind;
        bench.chart.pitch = defaultPitch(chartKind);
        bench.travel = options.travel;
        baud = options.baudRate ? options.baudRate : defaultBaud(options.device);
        pacing = options.pacing;
        createInstrument(options.device);
    }

    void createInstrument(DeviceKind kind)
    {
        device = kind;
        ascii = nullptr;
        spectrometer = nullptr;
        if (kind == DeviceKind::Spectrometer) {
            auto instrument = std::make_unique<SpectrometerInstrument>(bench);
            spectrometer = instrument.get();
            current = std::move(instrument);
        } else {
            auto instrument = std::make_unique<AsciiInstrument>(kind, bench);
            instrument->setIdentity(options.identity);
            ascii = instrument.get();
            current = std::move(instrument);
        }
    }

    // What the instrument reports for remission under the conditions in force.
    Reading expectedReadingOf(const SpectralCurve& remission) const;

    // Serving thread.
    void serve();
    void handleRequest(const std::string& request);
    bool waitInterruptible(unsigned ms);
    void send(const std::string& bytes, bool paced, unsigned lineBaud);
    bool writeAll(std::string_view bytes);
    void hangUp();

    SimulatorOptions options;
    mutable std::mutex mutex; // guards everything below except the thread's line buffer
    Bench bench;
    DeviceKind device = DeviceKind::LumatrakS;
    std::unique_ptr<Instrument> current;
    AsciiInstrument* ascii = nullptr;
    SpectrometerInstrument* spectrometer = nullptr;
    unsigned baud = kDefaultBaud;
    bool pacing = false;
    FaultInjector faults;
    std::uint32_t noiseState = 12345;
    std::deque<std::string> requestLog;
    LineTally lineTally;

    PseudoTerminal pty;
    std::string path;
    int wake[2] = {-1, -1};
    std::thread thread;
    std::atomic<bool> stopRequested {false};
    std::atomic<bool> serving {false};
};

bool Simulator::Impl::waitInterruptible(unsigned ms)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stopRequested) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0)
            return true;
        pollfd wakeFd {wake[0], POLLIN, 0};
        poll(&wakeFd, 1, static_cast<int>(left));
    }
    return false;
}

// Writes bytes whole; while the program does not read, waits until the line
// takes bytes again. False when the line is gone or the simulator stops.
bool Simulator::Impl::writeAll(std::string_view bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size() && !stopRequested) {
        ssize_t written = ::write(pty.masterFd(), bytes.data() + sent, bytes.size() - sent);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd fds[2] = {{pty.masterFd(), POLLOUT, 0}, {wake[0], POLLIN, 0}};
        poll(fds, 2, kLineIdleMs);
    }
    return sent == bytes.size();
}

// Writes the reply; paced, each burst of the receiving UART's FIFO leaves
// when the line would have shifted out its last byte. The simulator sleeps
// to each burst's deadline, so pacing costs no processor time in between.
void Simulator::Impl::send(const std::string& bytes, bool paced, unsigned lineBaud)
{
    if (!paced || lineBaud == 0) {
        writeAll(bytes);
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t sent = 0; sent < bytes.size() && !stopRequested;) {
        const std::size_t burstEnd = std::min(bytes.size(), sent + kUartBurstBytes);
        sleepUntil(start + lineTime(burstEnd, lineBaud));
        if (!writeAll(std::string_view(bytes).substr(sent, burstEnd - sent)))
            return;
        sent = burstEnd;
    }
}

// The simulator stops running before the line drops: whoever sees the drop
// finds it stopped and can start it again at once.
void Simulator::Impl::hangUp()
{
    serving = false;
    pty.close();
}

void Simulator::Impl::handleRequest(const std::string& request)
{
    Reply reply;
    Fault fault;
    bool paced;
    unsigned lineBaud;
    {
        std::lock_guard lock(mutex);
        requestLog.push_back(request);
        lineTally.requestBytes += request.size();
        if (requestLog.size() > kMaxLoggedRequests)
            requestLog.pop_front();
        unsigned programSpeed = pty.lineSpeed();
        if (programSpeed != 0 && programSpeed != baud) {
            // Bytes sent at another speed arrive as framing errors: no request is
            // understood and nothing changes in the instrument.
            if (options.wrongBaud == WrongBaudResponse::Garbage)
                reply.bytes = lineNoise(current->replyLength(request), noiseState);
        } else {
            reply = current->answer(request);
            if (reply.newBaudRate)
                baud = *reply.newBaudRate;
        }
        if (!reply.bytes.empty())
            fault = faults.takeForReply();
        paced = pacing;
        lineBaud = baud;
        switch (fault.kind) {
        case FaultKind::Garbage:
            reply.bytes = lineNoise(reply.bytes.size(), noiseState);
            break;
        case FaultKind::Truncation:
            reply.bytes.resize(reply.bytes.size() / 2);
            break;
        case FaultKind::WrongKind:
            reply.bytes = otherReplyKind(reply.bytes);
            break;
        default:
            break;
        }
        if (fault.kind != FaultKind::Silence && fault.kind != FaultKind::HangUp)
            lineTally.replyBytes += reply.bytes.size();
        if (paced)
            lineTally.workMs += reply.workMs;
    }
    if (fault.kind == FaultKind::Silence)
        return;
    if (fault.kind == FaultKind::HangUp) {
        hangUp();
        return;
    }
    // Paced, the request itself first takes its time on the line: the
    // program's write returns at once, the instrument has it only then.
    const unsigned requestLineMs = paced && lineBaud > 0
        ? static_cast<unsigned>(request.size() * kBitsPerByte * 1000 / lineBaud)
        : 0;
    unsigned waitMs = requestLineMs + (paced ? reply.workMs : 0) +
        (fault.kind == FaultKind::Delay ? fault.delayMs : 0);
    if (waitMs > 0 && !waitInterruptible(waitMs))
        return;
    send(reply.bytes, paced, lineBaud);
}

void Simulator::Impl::serve()
{
    std::string pending;
    char buffer[kReadChunk];
    while (!stopRequested && serving) {
        pollfd fds[2] = {{pty.masterFd(), POLLIN, 0}, {wake[0], POLLIN, 0}};
        int ready = poll(fds, 2, pending.empty() ? -1 : kLineIdleMs);
        if (ready < 0 && errno != EINTR)
            break;
        if (stopRequested)
            break;
        bool lineIdle = ready == 0;
        if (fds[0].revents & POLLIN) {
            ssize_t count = ::read(pty.masterFd(), buffer, sizeof buffer);
            if (count > 0)
                pending.append(buffer, static_cast<std::size_t>(count));
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            // Nobody holds the line open: wait for the program to open it again.
            waitInterruptible(kLineIdleMs);
            continue;
        }
        while (!pending.empty() && serving) {
            std::size_t length;
            {
                std::lock_guard lock(mutex);
                length = current->requestLength(pending, lineIdle);
            }
            if (length == 0)
                break;
            std::string request = pending.substr(0, length);
            pending.erase(0, length);
            handleRequest(request);
        }
    }
}

Simulator::Simulator(SimulatorOptions options) : impl_(std::make_unique<Impl>(std::move(options)))
{
}

Simulator::~Simulator()
{
    stop();
    for (int fd : impl_->wake) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool Simulator::start(std::string* error)
{
    if (running())
        return true;
    stop();
    if (impl_->wake[0] < 0 && pipe2(impl_->wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (error)
            *error = std::string("pipe failed: ") + std::strerror(errno);
        return false;
    }
    if (!impl_->pty.open(error))
        return false;
    {
        std::lock_guard lock(impl_->mutex);
        impl_->path = impl_->pty.slavePath();
    }
    impl_->stopRequested = false;
    impl_->serving = true;
    impl_->thread = std::thread([this] { impl_->serve(); });
    return true;
}

void Simulator::stop()
{
    if (impl_->thread.joinable()) {
        impl_->stopRequested = true;
        char byte = 1;
        [[maybe_unused]] ssize_t ignored = ::write(impl_->wake[1], &byte, 1);
        impl_->thread.join();
        char drain[64];
        while (::read(impl_->wake[0], drain, sizeof drain) > 0) { }
    }
    impl_->serving = false;
    impl_->pty.close();
}

bool Simulator::running() const
{
    return impl_->serving;
}

std::string Simulator::devicePath() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->path;
}

DeviceKind Simulator::device() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->device;
}

void Simulator::setDevice(DeviceKind device)
{
    std::lock_guard lock(impl_->mutex);
    impl_->createInstrument(device);
}

unsigned Simulator::baudRate() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->baud;
}

void Simulator::setBaudRate(unsigned baud)
{
    std::lock_guard lock(impl_->mutex);
    impl_->baud = baud;
}

void Simulator::setPacing(bool on)
{
    std::lock_guard lock(impl_->mutex);
    impl_->pacing = on;
}

std::vector<std::string> Simulator::sampleNames()
{
    return SampleLibrary::names();
}

bool Simulator::setSample(std::string_view name)
{
    std::lock_guard lock(impl_->mutex);
    if (!impl_->bench.samples.remission(name))
        return false;
    impl_->bench.sampleName = std::string(name);
    return true;
}

std::string Simulator::sample() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->bench.sampleName;
}

double Simulator::dotGain() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->bench.samples.printModel().dotGain();
}

void Simulator::setDotGain(double percentAtHalf)
{
    std::lock_guard lock(impl_->mutex);
    impl_->bench.samples = SampleLibrary(percentAtHalf);
}

Reading Simulator::Impl::expectedReadingOf(const SpectralCurve& remission) const
{
    MeasurementConditions conditions = ascii ? ascii->conditions() : MeasurementConditions {};
    return measure(spectrumInMode(remission, conditions, bench.samples.printModel()), conditions)
        .reading;
}

std::optional<Reading> Simulator::expectedReading(std::string_view sampleName) const
{
    std::lock_guard lock(impl_->mutex);
    auto remission = impl_->bench.samples.remission(sampleName);
    if (!remission)
        return std::nullopt;
    return impl_->expectedReadingOf(*remission);
}

std::optional<Reading> Simulator::expectedPatchReading(std::string_view patchName) const
{
    std::lock_guard lock(impl_->mutex);
    for (const ChartPatch& patch : chartPatches(impl_->bench.chart.kind)) {
        if (patch.name == patchName)
            return impl_->expectedReadingOf(
                impl_->bench.samples.printModel().print(patch.coverage));
    }
    return std::nullopt;
}

void Simulator::pressKey()
{
    std::lock_guard lock(impl_->mutex);
    if (impl_->ascii)
        impl_->ascii->pressKey();
}

TablePosition Simulator::headPosition() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->bench.head;
}

void Simulator::setHeadPosition(TablePosition position)
{
    std::lock_guard lock(impl_->mutex);
    impl_->bench.head = position;
}

bool Simulator::headDown() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->bench.headDown;
}

TableTravel Simulator::tableTravel() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->bench.travel;
}

void Simulator::setTableTravel(const TableTravel& travel)
{
    std::lock_guard lock(impl_->mutex);
    impl_->bench.travel = travel;
}

ChartPlacement Simulator::chartPlacement() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->bench.chart;
}

void Simulator::placeChart(const ChartPlacement& placement)
{
    std::lock_guard lock(impl_->mutex);
    impl_->bench.chart = placement;
}

std::string Simulator::patchUnderHead() const
{
    std::lock_guard lock(impl_->mutex);
    int index = impl_->bench.patchIndexUnderHead();
    return index < 0 ? std::string() : chartPatches(impl_->bench.chart.kind)[index].name;
}

std::optional<TablePosition> Simulator::patchPosition(std::string_view patchName) const
{
    std::lock_guard lock(impl_->mutex);
    const ChartPlacement& chart = impl_->bench.chart;
    for (const ChartPatch& patch : chartPatches(chart.kind)) {
        if (patch.name == patchName)
            return tablePositionOf(chart, patch.gridColumn, patch.gridRow);
    }
    return std::nullopt;
}

void Simulator::injectFault(const Fault& fault)
{
    std::lock_guard lock(impl_->mutex);
    impl_->faults.inject(fault);
}

void Simulator::clearFaults()
{
    std::lock_guard lock(impl_->mutex);
    impl_->faults.clear();
}

MeasurementConditions Simulator::conditions() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->ascii ? impl_->ascii->conditions() : MeasurementConditions {};
}

bool Simulator::inLoader() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->ascii && impl_->ascii->inLoader();
}

std::vector<std::uint8_t> Simulator::flashImage() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->ascii ? impl_->ascii->loader().image() : std::vector<std::uint8_t> {};
}

bool Simulator::flashBlank() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->ascii && impl_->ascii->loader().blank();
}

int Simulator::rejectedBlocks() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->ascii ? impl_->ascii->loader().rejectedBlocks() : 0;
}

void Simulator::wearFlashCell(std::size_t flashOffset)
{
    std::lock_guard lock(impl_->mutex);
    if (impl_->ascii)
        impl_->ascii->loader().wearCell(flashOffset);
}

std::string Simulator::identity() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->ascii ? impl_->ascii->identity() : std::string();
}

void Simulator::setIdentity(std::string identity)
{
    std::lock_guard lock(impl_->mutex);
    impl_->options.identity = identity;
    if (impl_->ascii)
        impl_->ascii->setIdentity(identity);
}

std::vector<std::string> Simulator::requests() const
{
    std::lock_guard lock(impl_->mutex);
    return {impl_->requestLog.begin(), impl_->requestLog.end()};
}

void Simulator::clearRequests()
{
    std::lock_guard lock(impl_->mutex);
    impl_->requestLog.clear();
    impl_->lineTally = {};
}

LineTally Simulator::tally() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->lineTally;
}

unsigned Simulator::streamingMask() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->ascii ? impl_->ascii->streamingMask() : 0;
}

} // namespace ltsim
