// Virtual colour-measurement instruments behind a pseudo-terminal.
//
// A Simulator opens a pseudo-terminal in raw mode, keeps the master side and
// serves the instrument's wire protocol on a thread of its own, which blocks in
// poll() while nothing arrives. The program (or a test) opens devicePath() as
// if it were a serial port. The control calls below may be made from any
// thread while the simulator runs; they take effect for the next request.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ltsim {

// The instrument behind the port.
enum class DeviceKind {
    LumatrakS, // spectrophotometer, hand-held (no XY table)
    LumatrakA, // spectrophotometer with its head on an XY table
    Spectrolino, // spectrophotometer of the same ASCII-hex protocol family
    Spectrometer, // array spectrometer with a binary protocol (raw pixel counts)
};

// "lumatrak-s", "lumatrak-a", "spectrolino", "spectrometer".
std::optional<DeviceKind> parseDeviceKind(std::string_view name);
const char* deviceKindName(DeviceKind kind);

// Test charts that can lie on the XY table.
enum class ChartKind {
    It8, // IT8.7/3, 928 patches on a 38 x 26 grid
    TqCmyk, // TQ CMYK, 210 patches, 14 rows x 15 columns, turned a quarter on the table
    TqRgb, // TQ RGB, 135 patches, 9 rows x 15 columns, turned a quarter on the table
};

// "it8", "tqcmyk", "tqrgb".
std::optional<ChartKind> parseChartKind(std::string_view name);

// Where the chart lies on the table. The table-grid cell (0, 0) is centred on
// origin; one grid column is `pitch` table units along the chart's column
// direction, which is turned by `rotation` against the table's X axis.
struct ChartPlacement {
    bool present = true; // false: nothing lies on the table
    ChartKind kind = ChartKind::It8;
    double originX = 1000.0; // [table units]
    double originY = 1000.0; // [table units]
    double pitch = 65.0; // [table units per grid step]
    double rotation = 0.0; // [degrees], counter-clockwise from the table's X axis
};

// Nominal pitch of the charts on the table.
inline constexpr double kIt8Pitch = 65.0; // [table units]
inline constexpr double kTqPitch = 100.0; // [table units]

// The table's travel: moves outside it are refused.
inline constexpr int kTableMaxX = 6000; // [table units]
inline constexpr int kTableMaxY = 4500; // [table units]

struct TablePosition {
    int x = 0; // [table units]
    int y = 0; // [table units]
    bool operator==(const TablePosition&) const = default;
};

// Faults the instrument can show on the wire.
enum class FaultKind {
    None,
    Silence, // the request is swallowed: no reply at all
    Garbage, // a reply of the right length made of noise bytes
    Truncation, // only the first half of the reply is sent
    Delay, // the reply is sent after Fault::delayMs
    WrongKind, // a well-formed reply of another answer code
    HangUp, // the instrument drops the line: the pseudo-terminal is closed
};

enum class FaultScope {
    NextReply, // the next request that would be answered gets the fault
    FromNowOn, // every following request, until clearFaults()
};

struct Fault {
    FaultKind kind = FaultKind::None;
    FaultScope scope = FaultScope::NextReply;
    unsigned delayMs = 2000; // [ms] for FaultKind::Delay
};

// What an instrument that listens at another baud rate than the request's
// makes of it.
enum class WrongBaudResponse {
    Garbage, // noise bytes of the length of the proper reply (framing errors)
    Silence, // nothing
};

// Measurement mode set by the mode commands.
enum class MeasureMode { Reflection, Transmission, Emission };

// Measurement conditions in force (changed by the parameter message, the
// density-slope download and the mode commands).
struct MeasurementConditions {
    char illuminantCode =
        '3'; // instrument code: '0' A, '1' C, '2' D65, '3' D50, '4' D75, '5' E, '8' D55
    char observerCode = '0'; // '0' 2 degrees, '1' 10 degrees
    char filterCode = '0'; // '0' ANSI A, '1' ANSI T, '2' DIN, '3' DIN NB, '8' ANSI E
    char extraOption = '1';
    MeasureMode mode = MeasureMode::Reflection;
    float densitySlopes[4] = {1.0f, 1.0f, 1.0f, 1.0f}; // Black, Cyan, Magenta, Yellow
};

// What the instrument reports for one sample under the current conditions.
struct Reading {
    float spectrum[36] = {}; // remission 380 ... 730 nm in 10 nm steps, 1.0 = 100 %
    float xyz[3] = {}; // CIE X, Y, Z (white = 100)
    float lab[3] = {}; // CIE 1976 L*, a*, b*
    float xyY[3] = {}; // chromaticity x, y and Y
    float density[4] = {}; // status densities Black, Cyan, Magenta, Yellow (slopes applied)
};

// The repeatability of a real instrument: remission noise of this standard
// deviation in every 5 nm band gives about 0.02 CIE 1976 colour difference
// between two readings of paper white and about ten times that on a black
// solid (the same remission noise weighs more where L* is steep).
inline constexpr double kRealisticNoise = 0.0005;

// Mechanical dot gain of the simulated offset press at 50 % coverage.
inline constexpr double kStandardDotGain = 10.0; // [percentage points]

// How fast the XY table carries the head: a move takes its straight-line
// distance at `speed`, then `settleMs` until the head rests. Taken only
// when pacing is on.
struct TableTravel {
    double speed = 20.0; // [table units per ms]
    unsigned settleMs = 30; // [ms] after each move
};

struct SimulatorOptions {
    DeviceKind device = DeviceKind::LumatrakS;
    unsigned baudRate = 0; // [baud] the rate the instrument listens at; 0: 9600, spectrometer 19200
    bool pacing = false; // let requests and reply bytes take their time at the baud rate
        // (10 bits per byte) and take measurement and move times; off for fast tests
    WrongBaudResponse wrongBaud = WrongBaudResponse::Garbage;
    std::optional<ChartKind> chart; // chart on the table (LumatrakA); default IT8.7/3
    std::string identity; // 24 hex characters; empty: the model's default identity
    std::string sample = "paper"; // sample under the head at start
    double noise = kRealisticNoise; // standard deviation of remission noise
        // (spectrophotometers) and of counts relative to full scale (spectrometer); 0: none
    std::uint32_t noiseSeed = 1; // the same seed gives the same readings
    double dotGain = kStandardDotGain; // [percentage points at 50 %] of the press that printed
        // the process-ink samples and charts; paper and solids do not depend on it
    TableTravel travel; // the XY table's speed (LumatrakA)
};

// Spectrometer wavelength calibration as reported by the calibration reply.
inline constexpr float kSpectrometerSlope = 2.94118f; // [nm per pixel]
inline constexpr float kSpectrometerZero = 226.5f; // [nm at pixel 0]
inline constexpr int kSpectrometerPixels = 256;
inline constexpr int kSpectrometerFullScale = 65535; // [counts] saturation

// The flash memory written by the firmware loader starts at this image offset:
// flashImage()[0] is the byte at image offset 0x4000 of the firmware file.
inline constexpr std::size_t kFlashImageOffset = 0x4000;

// What crossed the line since start (or the last clearRequests()), and how
// long the paced instrument worked before replying: the parts of an exchange
// that no program can make faster.
struct LineTally {
    std::uint64_t requestBytes = 0; // complete requests received
    std::uint64_t replyBytes = 0; // reply bytes sent (after any fault)
    std::uint64_t workMs = 0; // [ms] measuring, calibrating, moving; paced only
};

class Simulator {
public:
    explicit Simulator(SimulatorOptions options = {});
    ~Simulator(); // stops the server and closes the pseudo-terminal
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Opens the pseudo-terminal and starts serving. False with a reason in
    // *error when the pseudo-terminal cannot be opened. Starting a running
    // simulator does nothing and returns true; after stop() or a hang-up fault
    // start() opens a new pseudo-terminal (with a new path).
    bool start(std::string* error = nullptr);
    void stop();
    bool running() const;

    // Path of the slave side, e.g. "/dev/pts/7"; empty before start().
    std::string devicePath() const;

    // Device model; may be changed while running (a new instrument on the same line).
    DeviceKind device() const;
    void setDevice(DeviceKind device);

    // Baud rate the instrument listens at. Requests that arrive while the port's
    // line speed differs are answered according to WrongBaudResponse.
    unsigned baudRate() const;
    void setBaudRate(unsigned baud);
    void setPacing(bool on);

    // Samples. sampleNames() lists the named samples of the library: "paper",
    // "white", "light trap", process solids "C100" "M100" "Y100" "K100", tints,
    // overprints and spot colours. setSample() also accepts any ink combination
    // written as letters C, M, Y, K each followed by a percentage ("C50M40Y40",
    // "K20"). False for an unknown name (the sample stays).
    static std::vector<std::string> sampleNames();
    bool setSample(std::string_view name);
    std::string sample() const;

    // The press that printed the process-ink samples: its dot gain at 50 %
    // coverage in percentage points (a sheet from a press with 10 % more dot
    // gain: the default + 10). Changes every later measurement of a print.
    double dotGain() const;
    void setDotGain(double percentAtHalf);

    // What the instrument would report for a named sample under the current
    // conditions (noise not included); nullopt for an unknown name.
    std::optional<Reading> expectedReading(std::string_view sampleName) const;

    // What the instrument would report for a patch of the chart on the table
    // ("00A1", "A01") under the current conditions (noise not included);
    // nullopt for a name that is not on it.
    std::optional<Reading> expectedPatchReading(std::string_view patchName) const;

    // The XY table's speed and settle time, for the next moves.
    TableTravel tableTravel() const;
    void setTableTravel(const TableTravel& travel);

    // Presses the instrument's measurement key: the instrument measures what lies
    // under its head; the next key query reports the press and the next fetch
    // returns that measurement.
    void pressKey();

    // Head position of the XY table.
    TablePosition headPosition() const;
    void setHeadPosition(TablePosition position);
    bool headDown() const;

    // The chart on the table and what lies under the head: the patch name
    // ("00A1", "A01"), "" for paper between or around the patches.
    ChartPlacement chartPlacement() const;
    void placeChart(const ChartPlacement& placement);
    std::string patchUnderHead() const;
    // Table position of the centre of a patch of the placed chart; nullopt for a
    // name that is not on it.
    std::optional<TablePosition> patchPosition(std::string_view patchName) const;

    // Faults.
    void injectFault(const Fault& fault);
    void clearFaults();

    // Measurement conditions in force.
    MeasurementConditions conditions() const;

    // Firmware loader: true between the loader entry and "END".
    bool inLoader() const;
    // Bytes programmed since the last erase, in block order (see kFlashImageOffset);
    // a block whose sum was wrong stays erased (0xFF).
    std::vector<std::uint8_t> flashImage() const;
    bool flashBlank() const;
    int rejectedBlocks() const;
    // Wears out the flash cell at flashOffset (see kFlashImageOffset): it
    // stays erased, so the block written over it is refused.
    void wearFlashCell(std::size_t flashOffset);

    // Instrument identity: 24 hex characters, sent in the identification reply.
    std::string identity() const;
    void setIdentity(std::string identity);

    // Every complete request received (bytes as they came, CR LF included),
    // oldest first; for tests that check what the library sent.
    std::vector<std::string> requests() const;
    void clearRequests(); // clears the tally too
    LineTally tally() const;

    // Measurement-output mask of the streaming mode as configured on the wire
    // (0: no unsolicited measurement blocks).
    unsigned streamingMask() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace ltsim
