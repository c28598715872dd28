#pragma once
// Every key of the application settings file with its section, default and
// range. Pages read a key with Settings::load (which writes the value in use
// straight back) and write it again with Settings::store when the operator
// changes it.
#include <climits>
#include <cstddef>

namespace lt {

struct IntKey {
    const char* section;
    const char* key;
    int defaultValue;
    int minimum; // values below read as minimum
    int maximum; // values above read as maximum
};

// Where the default of a text key comes from.
enum class TextDefault {
    Literal, // the default text as it stands
    HomeDirectory // a file name placed in the user's home directory
};

struct TextKey {
    const char* section;
    const char* key;
    const char* defaultValue;
    std::size_t maxLength; // longer values are not accepted (the default is used)
    TextDefault defaultKind = TextDefault::Literal;
};

// A real number kept as text ("%f" when the program writes it).
struct RealKey {
    const char* section;
    const char* key;
    const char* defaultValue;
};

namespace keys {

inline constexpr std::size_t kPathLength = 299;
inline constexpr std::size_t kShortText = 80;

// Density parameters (section "TaviDens").
inline constexpr RealKey kSlopeCyan {"TaviDens", "DSlopeC", "1."};
inline constexpr RealKey kSlopeMagenta {"TaviDens", "DSlopeM", "1."};
inline constexpr RealKey kSlopeYellow {"TaviDens", "DSlopeY", "1."};
inline constexpr RealKey kSlopeBlack {"TaviDens", "DSlopeK", "1."};
inline constexpr RealKey kSlopeSpot {"TaviDens", "DSlopeS", "1."};
inline constexpr RealKey kYuleNielsenCyan {"TaviDens", "DYNC", "1."};
inline constexpr RealKey kYuleNielsenMagenta {"TaviDens", "DYNM", "1."};
inline constexpr RealKey kYuleNielsenYellow {"TaviDens", "DYNY", "1."};
inline constexpr RealKey kYuleNielsenBlack {"TaviDens", "DYNK", "1."};
inline constexpr RealKey kYuleNielsenSpot {"TaviDens", "DYNS", "1."};
inline constexpr IntKey kFilterType {"TaviDens", "FilterType", 2, 0, 3}; // ANSIA, ANSIT, DIN, DINNB
inline constexpr IntKey kObserverType {
    "TaviDens", "ObserverType", 0, 0, 1}; // 2 degrees, 10 degrees
inline constexpr IntKey kIllumType {"TaviDens", "IllumType", 4, 0, 8};
inline constexpr IntKey kMetric {"TaviDens", "Metric", 1, 1, 4};
// Formula of every colour difference shown: 0 CIE 1976, 1 CIE94, 2 CIEDE2000,
// 3 CMC(2:1) (see core/colour/ColourDifference.h).
inline constexpr IntKey kDeltaEFormula {"TaviDens", "DeltaEFormula", 0, 0, 3};

// Files and charts.
inline constexpr TextKey kListName {
    "LIST", "ListName", "MyList.txt", kPathLength, TextDefault::HomeDirectory};
inline constexpr TextKey kChartName {
    "CHARTS", "ChartName", "MyIT873.txt", kPathLength, TextDefault::HomeDirectory};
inline constexpr IntKey kChartType {"CHARTS", "ChartType", 0, 0, 2}; // IT8.7/3, TQ CMYK, TQ RGB
inline constexpr TextKey kSpotColorFile {"SC", "SCFile", "SCFile.txt", kPathLength};
inline constexpr IntKey kNarrowFilter {"SC", "NarrowFilter", 1, 0, 1}; // 1 narrow, 0 wide window
inline constexpr TextKey kQualityControlFile {"QC", "QCFile", "QCFile.txt", kPathLength};
inline constexpr TextKey kServiceFile {"Service", "ServiceFile", "BASIC.A20", kPathLength};
inline constexpr TextKey kServiceBaudRate {"Service", "ServiceBaudRate", "9600", kShortText};

// Instrument page (section "TaviLight").
inline constexpr IntKey kCommNumber {
    "TaviLight", "CommNumber", 1, INT_MIN, INT_MAX}; // 1 or 2 are usable
inline constexpr IntKey kIntegrationTime {"TaviLight", "ITime", 4, 0, 255};
inline constexpr IntKey kBrand {
    "TaviLight", "Brand", 0, 0, 255}; // Lumatrak S, Lumatrak A, Spectrolino, ProtoType
inline constexpr IntKey kGain {"TaviLight", "Gain", 0, 0, 255};
inline constexpr IntKey kNumberOfScans {"TaviLight", "NoOfScans", 1, 0, 255};
inline constexpr IntKey kMinWavelength {"TaviLight", "MinWLen", 350, 250, 950}; // [nm]
// [nm]; read with Settings::loadMaxWavelength, which also applies the rule
// that the maximum lies at least 40 nm above the minimum.
inline constexpr IntKey kMaxWavelength {"TaviLight", "MaxWLen", 850, 250, 950};
// The instrument page hands the first 80 characters to the library.
inline constexpr TextKey kObserverTableFile {"TaviLight", "XYZFile", "XYZ2.txt", kPathLength};
inline constexpr TextKey kIlluminantTableFile {"TaviLight", "ILLUMFile", "ILLUM.txt", kPathLength};
inline constexpr IntKey kRemote {"TaviLight", "Remote", 0, 0, 1};
inline constexpr IntKey kLight {"TaviLight", "Light", 0, INT_MIN, INT_MAX}; // written, never read

// Array spectrometer calibration (section "TaviSpec"); Slope and Zero are
// read with Settings::loadSpectrometerSlope / loadSpectrometerZero.
inline constexpr RealKey kSpectrometerSlope {"TaviSpec", "Slope", ""}; // [nm/pixel]
inline constexpr RealKey kSpectrometerZero {"TaviSpec", "Zero", ""}; // [nm]
inline constexpr IntKey kSpectrometerDirection {"TaviSpec", "Direction", 0, INT_MIN, INT_MAX};
inline constexpr IntKey kSpectrometerPixel380 {"TaviSpec", "380", 0, INT_MIN, INT_MAX};
inline constexpr IntKey kSpectrometerPixel780 {"TaviSpec", "780", 0, INT_MIN, INT_MAX};

// Spreadsheet placement.
inline constexpr IntKey kExcelDirection {"ExcelConnect", "Direction", 2, INT_MIN, INT_MAX};
inline constexpr IntKey kExcelStart1 {"ExcelConnect", "Start1", 1, INT_MIN, INT_MAX};
inline constexpr IntKey kExcelLength1 {"ExcelConnect", "Length1", 1, INT_MIN, INT_MAX};
inline constexpr IntKey kExcelStart2 {"ExcelConnect", "Start2", 1, INT_MIN, INT_MAX};
inline constexpr IntKey kExcelLength2 {"ExcelConnect", "Length2", 1, INT_MIN, INT_MAX};
inline constexpr IntKey kExcelRowInit1 {"ExcelConnect", "RowInit1", 1, INT_MIN, INT_MAX};
inline constexpr IntKey kExcelRowInit2 {"ExcelConnect", "RowInit2", 1, INT_MIN, INT_MAX};
inline constexpr TextKey kExcelColumnInit1 {"ExcelConnect", "ColumnInit1", "A", kShortText};
inline constexpr TextKey kExcelColumnInit2 {"ExcelConnect", "ColumnInit2", "F", kShortText};
inline constexpr TextKey kExcelFilePath {"ExcelConnect", "FilePath", "", kPathLength};
inline constexpr TextKey kExcelAutoFilePath {"ExcelAuto", "FilePath", "*.xls", kPathLength};

// The main window (section "Window"): its place and size (as the window
// system describes them, in base 64) and the tab shown last.
inline constexpr TextKey kWindowGeometry {"Window", "Geometry", "", kPathLength};
inline constexpr IntKey kLastTab {"Window", "LastTab", 0, 0, 3};

// Serial device of COM1..COM4 (section "Ports"); read with Settings::portDevice.
inline constexpr TextKey kPortDevices[4] = {
    {"Ports", "COM1", "/dev/ttyS0", kPathLength},
    {"Ports", "COM2", "/dev/ttyS1", kPathLength},
    {"Ports", "COM3", "/dev/ttyUSB0", kPathLength},
    {"Ports", "COM4", "/dev/ttyUSB1", kPathLength},
};

} // namespace keys
} // namespace lt
