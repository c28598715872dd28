#pragma once
// LTCtl: the instrument library. One class, CTaviSpec, owns every
// conversation with the spectrophotometers, the XY table and the array
// spectrometer. Only plain records and numbers cross this interface; the host
// owns every record and the library keeps no pointer to one after a call
// returns (the streaming mode excepted).

#include <cstdint>

#include "LtExport.h"
#include "LtRecordCodes.h"
#include "LtStatus.h"

namespace lt {
struct PortOpenRecipe;
class SerialPort;
} // namespace lt

// Port-open record. Fields in this order, natural alignment.
struct ComPort {
    std::uint8_t
        DeviceType; // 0 Lumatrak S, 1 Lumatrak A, 2 Spectrolino, 3 ProtoType; 4 and 7 special opens
    std::uint16_t PortNumber; // 1..4 selects COM1..COM4
    std::uint16_t BaudRate; // [baud]
    std::uint8_t Parity; // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t ByteSize; // data bits
    std::uint8_t StopBits; // 0 one, 1 one and a half, 2 two
    std::uint8_t Handshake; // 0: XON/XOFF output flow control on; nonzero: off
    std::uint32_t* Timeouts; // null: the export's defaults; else five values [ms], see CommTimeouts
    std::uint32_t Status; // in: 1 = verbose (GretagPortOpenAndInit); out: status of the open
    std::uint8_t ProbeBaud; // SpecPortOpen: 1 = probe the baud rate
    std::uint8_t DirectIo; // nonzero: blocking port I/O
    void* Handle; // in: a handle still open (closed first); out: the new handle or null
};

// Request and result record of the measurement exports. Fields in this
// order, natural alignment.
struct GretagStruct {
    std::uint8_t Valid; // host-side flag, never read by the library
    float* Spectrum; // 40 floats: 380..730 nm in 10 nm steps, then 4 more; null = not copied
    std::uint32_t Reserved0;
    float ColorTriple4[3]; // colorimetric reading of colour space 4
    float ColorTriple0[3]; // colour space 0
    float ColorTriple1[3]; // colour space 1
    float Density[4]; // densities; the alternate reading fills the first three
    std::uint8_t Illuminant;
    std::uint8_t Observer;
    std::uint8_t OutputType; // 0 spectrum, 1 colorimetric, 2 density, 100 alternate reading
    std::uint8_t Filter;
    std::uint8_t Reserved1;
    std::uint8_t ExtraOption;
    std::uint8_t SpectrumVariant; // 1 selects the second spectrum request
    std::uint8_t ColorSpace; // 0..6
    std::uint8_t OutputSet; // 1 or 2
    std::uint8_t Reserved2[5];
    std::uint8_t StartStep; // 0 trigger and fetch, 1 fetch only, 100 trigger only
    std::uint8_t MeasureMode; // 0 reflection, 1 transmission, 2 emission
};

// Observer and illuminant table file names of the array spectrometer. For
// the spectrophotometers the first 24 bytes receive the identity text.
inline constexpr int kFileNameLength = 120;
struct FileNames {
    char XYZFile[kFileNameLength]; // observer table, NUL-terminated
    char ILLUMFile[kFileNameLength]; // illuminant table, NUL-terminated
};

// Wavelength calibration of the array spectrometer, 13 bytes as received.
struct InitParams {
    std::uint8_t Slope[4]; // [nm/pixel] float, big-endian
    std::uint8_t Zero[4]; // [nm] at pixel 0, float, big-endian
    std::uint8_t Direction;
    std::uint8_t Unused0;
    std::uint8_t Lambda380; // the value the host stores as "380"
    std::uint8_t Unused1;
    std::uint8_t Lambda780; // the value the host stores as "780"
};

// Acquisition parameters of the array spectrometer, 7 bytes sent as they are.
struct NewParams {
    std::uint8_t IntegrationTime; // code: 0..8 = 40, 80, ... 10240 ms
    std::uint8_t Gain; // code: 0 = gain 1, 1 = gain 2
    std::uint8_t Scans; // 1..255
    std::uint8_t Zero; // always 0
    std::uint8_t FirstPixel[2]; // first pixel of the window, low byte first
    std::uint8_t LastPixelLow; // low byte of the last pixel of the window
};

// Result record of an array-spectrometer acquisition.
inline constexpr int kAquireMaxCounts = 2048;
struct Aquire {
    std::uint16_t Count; // values the spectrometer sent
    std::uint8_t Reserved0[2];
    std::uint16_t Counts[kAquireMaxCounts]; // corrected counts, index = pixel - first pixel
    float XYZ[3]; // tristimulus values, white = 100
    float Reserved1[3];
    float Lab[3]; // L*, a*, b*; on entry the previous measurement's
    float Luv[3]; // L*, u*, v*
    float Chromaticity[3]; // x, y, z
    float Reserved2[3];
    float DeltaE; // CIELAB distance to the previous L*, a*, b*
    float Step; // [nm] resampling step
    float LowWavelength; // [nm]
    float HighWavelength; // [nm]
    std::uint8_t Illuminant; // 0 equal energy, 1..6 tables
    std::uint16_t FirstPixel; // correction window
    std::uint16_t LastPixel;
    std::uint16_t Statistics[6]; // host: minimum, its pixel, maximum, its pixel, spread, mean
};

// Host hooks. The library never links audio or a user interface: every beep
// and every message box goes through these. Defaults: silent beeps, messages
// to stderr.
typedef void (*LtBeepHandler)(unsigned long frequencyHz, unsigned long durationMs, void* context);
typedef void (*LtMessageHandler)(const char* text, const char* caption, void* context);
// Called repeatedly while the library waits for a spectrometer acquisition,
// so that the host's user interface stays alive.
typedef void (*LtMessagePump)(void* context);
// Called before every GretagExecRemission (done false, result 0) and after it
// (done true, with its result): a diagnostic seam for timing the exchanges
// and for tests that act between the fetches of one measurement.
typedef void (*LtFetchObserver)(
    const GretagStruct* g, bool done, unsigned long result, void* context);

// Line settings of an open port, read and written as a whole.
struct LtLineSettings {
    std::uint32_t BaudRate; // [baud]
    std::uint8_t ByteSize; // data bits
    std::uint8_t Parity; // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t StopBits; // 0 one, 1 one and a half, 2 two
    std::uint8_t OutX; // XON/XOFF flow control of what we send
    std::uint8_t InX; // XON/XOFF flow control of what we receive
    char EventChar;
};

class LTCTL_EXPORT CTaviSpec {
public:
    static constexpr int kSpectrumBufferSize = 40;
    static constexpr int kSpectrumValues = 36; // 380..730 nm in 10 nm steps

    CTaviSpec();
    ~CTaviSpec();
    CTaviSpec(const CTaviSpec&) = delete;
    CTaviSpec& operator=(const CTaviSpec&) = delete;

    // Port and identification.
    unsigned long SpecPortOpen(ComPort* port, FileNames* files);
    unsigned long SpecPortClose();
    void* GretagPortOpenAndInit(ComPort* port, FileNames* identity);
    unsigned long GretagPortClose(void* handle);
    unsigned long OpenLT(ComPort* port); // the new handle value, or all bits set
    unsigned long InitGloss(ComPort* port);

    // Measurement.
    unsigned long GretagInitExecRemission(GretagStruct* g, unsigned char withTable);
    unsigned long GretagExecRemission(GretagStruct* g);
    unsigned long GretagQueryLocal(int unused);
    unsigned long GretagOutputSet(GretagStruct* g);
    unsigned long GretagSetMeasurementOutput(unsigned char mask);
    unsigned long GretagQueryRemote(GretagStruct* g);
    unsigned long GretagExecEmission(GretagStruct* g);
    unsigned long GretagInitExecEmission(GretagStruct* g);

    // Commands and XY table.
    unsigned long GretagCMD(int command, void* payload);
    unsigned long GretagXY(int operation, void* data);

    // Array spectrometer.
    unsigned long SpecInitParams(InitParams* p);
    unsigned long SpecNewParams(NewParams* p);
    unsigned long SpecAquire(Aquire* a, unsigned char command, unsigned char noWait);
    unsigned long SpecDataReady(Aquire* a, unsigned long waitMs);

    // Streaming mode.
    void StartReceiveThread(int unused, void** cursor);
    void StopReceiveThread();
    unsigned long XPress(int command, void** cursor, unsigned char clearSlot);

    // Host hooks (process-wide).
    static unsigned long SetPortDevice(int portNumber, const char* devicePath);
    static void SetBeepHandler(LtBeepHandler handler, void* context);
    static void SetMessageHandler(LtMessageHandler handler, void* context);
    static void SetMessagePump(LtMessagePump pump, void* context);
    static void SetFetchObserver(LtFetchObserver observer, void* context);

private:
    // GretagExecRemission without its observer calls.
    unsigned long execRemission(GretagStruct* g);

    // Opens COM1..COM4 as the recipe says: purge, time-out block, line
    // settings. Returns the handle (null when the device did not open) and
    // in status 0, 10000 (no device), 10003 (line settings not readable) or
    // 10004 (line settings refused); the handle stays open on 10003/10004.
    // A recipe that reuses an open port prepares the object's port again
    // when it is still open and opens nothing.
    void* openPort(const ComPort& port, const lt::PortOpenRecipe& recipe, unsigned long& status);

    // State of the link, shared by all exchanges.
    void* m_portHandle;
    std::uint32_t m_timeouts
        [5]; // [ms] read interval, read multiplier, read constant, write multiplier, write constant
    LtLineSettings m_lineSettings; // read from the port, modified and written back
    unsigned long m_lastError; // errno of the last failed open or line-settings call
    int m_lastPortResult; // nonzero when the last port call succeeded
    unsigned long m_transferCount; // bytes moved by the last primitive
    float m_spectrum[kSpectrumBufferSize]; // last spectral reading of the spectrophotometer

    // ---- Array spectrometer and streaming state -------------------------
    // Owned by instrument/spectrometer and instrument/streaming; their
    // engineers add the members of the acquisition (calibration, last
    // parameters, dark and white counts, colour tables) here, each with a
    // default member initializer (the constructor does not list them).
    //
    // Calibration, acquisition parameters, dark, white and result per pixel and
    // the colour tables of the array spectrometer; defined and allocated in
    // instrument/spectrometer (the streaming mode keeps module-level state).
    struct SpectrometerState;
    class SpectrometerStorage {
    public:
        SpectrometerStorage();
        ~SpectrometerStorage();
        SpectrometerStorage(const SpectrometerStorage&) = delete;
        SpectrometerStorage& operator=(const SpectrometerStorage&) = delete;
        SpectrometerState& operator*() const { return *m_state; }
        SpectrometerState* operator->() const { return m_state; }

    private:
        SpectrometerState* m_state;
    };
    SpectrometerStorage m_spectrometer;
    // Closes the spectrometer's port after a failed exchange; returns status.
    unsigned long specCloseOnFailure(unsigned long status);
    // The spectrometer's baud probe on its freshly prepared line.
    unsigned long probeBaudRate(lt::SerialPort& serial);
    // ---- end of array spectrometer and streaming state ------------------
};
