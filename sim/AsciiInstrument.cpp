#include "AsciiInstrument.h"

#include <algorithm>
#include <cctype>

#include "WireHex.h"

namespace ltsim {

namespace {

constexpr std::size_t kMaxRequestBytes = 512; // a longer line without LF is noise
constexpr unsigned kMeasureMs = 250; // [ms] flash and read-out of one measurement
constexpr unsigned kCalibrateMs = 600; // [ms] white calibration

// Reply lengths including CR LF.
constexpr std::size_t kAckLength = 9; // ":1F0000"
constexpr std::size_t kTriggerReplyLength = 7; // ":2500"
constexpr std::size_t kNotAvailableLength = 7; // ":2601"

struct ModelProfile {
    DeviceKind kind;
    const char* name;
    const char* code; // two hex characters
    bool hasTable;
    bool hasGloss;
};

const ModelProfile kProfiles[] = {
    {DeviceKind::LumatrakS, "LUMATRAK S", "01", false, true},
    {DeviceKind::LumatrakA, "LUMATRAK A", "02", true, true},
    {DeviceKind::Spectrolino, "SPECTROLINO", "03", false, false},
};

const ModelProfile& profileOf(DeviceKind kind)
{
    for (const ModelProfile& p : kProfiles) {
        if (p.kind == kind)
            return p;
    }
    return kProfiles[0];
}

constexpr const char* kFirmwareVersion = "0433";
// The identity is text, two hex digits per character, ended by a NUL when
// shorter than its 12 characters: firmware version and serial number.
constexpr const char* kDefaultIdentityText = "1.433 12345";
constexpr std::size_t kIdentityDigits = 24;

std::string line(std::string text)
{
    text += "\r\n";
    return text;
}

Reply replyOf(std::string text, unsigned workMs = 0)
{
    return Reply {line(std::move(text)), workMs, std::nullopt};
}

// ":1F" acknowledge with the instrument's error number (0 = accepted).
Reply commandAck(int error)
{
    std::string text = ":1F";
    wire::appendByteHex(text, static_cast<std::uint8_t>(error));
    return replyOf(text + "00");
}

constexpr int kErrorParameter = 3;

// The white calibration tile inside the instrument.
double whiteTileRemission(double wavelength)
{
    return 0.885 - 0.03 * (1.0 - logisticStep(wavelength, 420.0, 15.0));
}

std::optional<unsigned> instrumentBaudCode(std::string_view code)
{
    if (code == "27")
        return 9600;
    if (code == "28")
        return 19200;
    if (code == "98")
        return 28800;
    if (code == "99")
        return 57600;
    return std::nullopt;
}

std::optional<unsigned> tableBaudCode(char code)
{
    switch (code) {
    case '7':
        return 9600;
    case '8':
        return 19200;
    case '9':
        return 28800;
    case 'A':
        return 57600;
    }
    return std::nullopt;
}

// Decodes two 16-bit table coordinates (signed when `relative`).
bool parseCoordinates(std::string_view text, std::size_t column, bool relative, int* x, int* y)
{
    auto first = wire::parseWord(text, column), second = wire::parseWord(text, column + 4);
    if (!first || !second)
        return false;
    *x = relative ? static_cast<std::int16_t>(*first) : *first;
    *y = relative ? static_cast<std::int16_t>(*second) : *second;
    return true;
}

void appendFloats(std::string& out, const float* values, int count)
{
    for (int i = 0; i < count; ++i)
        wire::appendFloat(out, values[i]);
}

} // namespace

const AsciiInstrument::Route AsciiInstrument::kRoutes[] = {
    {";00", 3, 15, false, &AsciiInstrument::handshake},
    {";D06700", 7, 11, false, &AsciiInstrument::extendedHandshake},
    {";D0", 3, 9, false, &AsciiInstrument::tableHandshake},
    {";4D1E", 5, kAckLength, false, &AsciiInstrument::flowControl},
    {";4D1F", 5, kAckLength, false, &AsciiInstrument::flowControl},
    {";4DFF", 5, kAckLength, false, &AsciiInstrument::flowControl},
    {";4D9B", 5, kAckLength, false, &AsciiInstrument::measureMode},
    {";4D9C", 5, kAckLength, false, &AsciiInstrument::measureMode},
    {";4D9D", 5, kAckLength, false, &AsciiInstrument::measureMode},
    {";4D", 5, 0, false, &AsciiInstrument::lineSpeed},
    {";B5", 3, 123, false, &AsciiInstrument::identify},
    {";5A010405", 9, kAckLength, false, &AsciiInstrument::acknowledge},
    {";160", 11, kAckLength, false, &AsciiInstrument::parameters},
    {";17", 35, kAckLength, false, &AsciiInstrument::densitySlopes},
    {";01", 3, 37, false, &AsciiInstrument::readSlopes},
    {";22090", 7, kTriggerReplyLength, false, &AsciiInstrument::calibrate},
    {";20", 3, kTriggerReplyLength, false, &AsciiInstrument::trigger},
    {";B8090", 7, 309, false, &AsciiInstrument::spectrum},
    {";BA090", 7, 49, false, &AsciiInstrument::colorimetric},
    {";BC09", 5, 55, false, &AsciiInstrument::densities},
    {";07", 3, 9, false, &AsciiInstrument::keyQuery},
    {";B1", 7, kAckLength, false, &AsciiInstrument::outputRegister},
    {"?D0A7", 5, 9, false, &AsciiInstrument::glossQuery},
    {"?C0", 5, 19, false, &AsciiInstrument::serviceQuery},
    {"?5A0203", 7, 5, false, &AsciiInstrument::enterLoader},
    // XY table
    {";D047", 5, 35, true, &AsciiInstrument::alternateReading},
    {";D002", 5, kAckLength, true, &AsciiInstrument::tableAcknowledge},
    {";D003", 5, kAckLength, true, &AsciiInstrument::headUp},
    {";D004", 5, kAckLength, true, &AsciiInstrument::headDown},
    {";D010", 5, kAckLength, true, &AsciiInstrument::tableAcknowledge},
    {";D011", 5, kAckLength, true, &AsciiInstrument::tableAcknowledge},
    {";D012", 5, kAckLength, true, &AsciiInstrument::tableHome},
    {";D023", 5, 11, true, &AsciiInstrument::tableStatus},
    {";D034", 5, 19, true, &AsciiInstrument::tableInfo},
    {";D087", 5, kAckLength, true, &AsciiInstrument::tableAcknowledge},
    {";D00600", 7, kAckLength, true, &AsciiInstrument::tableToWhiteTile},
    {";D0050", 7, 23, true, &AsciiInstrument::tablePosition},
    {";D0200", 7, 0, true, &AsciiInstrument::tableLineSpeed},
    {";D0B1", 7, kAckLength, true, &AsciiInstrument::tableAcknowledge},
    {";D0000", 15, kAckLength, true, &AsciiInstrument::moveAbsolute},
    {";D001", 13, kAckLength, true, &AsciiInstrument::moveRelative},
};

AsciiInstrument::AsciiInstrument(DeviceKind kind, Bench& bench)
    : kind_(kind), bench_(bench), table_(bench)
{
    setIdentity("");
    whiteReference_ = SpectralCurve::fromFunction(whiteTileRemission);
}

bool AsciiInstrument::hasTable() const
{
    return profileOf(kind_).hasTable;
}

void AsciiInstrument::setIdentity(std::string_view identity)
{
    std::string text;
    for (char c : identity) {
        if (std::isxdigit(static_cast<unsigned char>(c)))
            text.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    if (text.empty()) {
        for (const char* c = kDefaultIdentityText; *c; ++c)
            wire::appendByteHex(text, static_cast<std::uint8_t>(*c));
    }
    text.resize(kIdentityDigits, '0');
    identity_ = text;
}

std::size_t AsciiInstrument::requestLength(std::string_view pending, bool lineIdle) const
{
    if (inLoader_)
        return loader_.requestLength(pending, lineIdle);
    std::size_t end = pending.find('\n');
    if (end != std::string_view::npos)
        return end + 1;
    if (lineIdle || pending.size() > kMaxRequestBytes)
        return pending.size();
    return 0;
}

std::string_view AsciiInstrument::requestText(std::string_view request)
{
    while (!request.empty() && (request.back() == '\n' || request.back() == '\r'))
        request.remove_suffix(1);
    return request;
}

const AsciiInstrument::Route* AsciiInstrument::route(std::string_view text) const
{
    for (const Route& r : kRoutes) {
        if (text.size() == r.textLength && text.substr(0, r.prefix.size()) == r.prefix)
            return &r;
    }
    return nullptr;
}

std::size_t AsciiInstrument::replyLength(std::string_view request) const
{
    if (inLoader_)
        return loader_.replyLength(request);
    if (request.empty() || request.back() != '\n')
        return 0;
    std::string_view text = requestText(request);
    const Route* r = route(text);
    if (!r)
        return text.empty() || (text[0] != ';' && text[0] != '?') ? 0 : kNotAvailableLength;
    if (r->needsTable && !hasTable())
        return kNotAvailableLength;
    if (r->handle == &AsciiInstrument::trigger && streamingMask_ != 0)
        return r->replyLength + streamingBlock().size();
    return r->replyLength;
}

Reply AsciiInstrument::answer(std::string_view request)
{
    if (inLoader_) {
        bool leave = false;
        Reply reply {loader_.answer(request, &leave), 0, std::nullopt};
        if (leave)
            inLoader_ = false;
        return reply;
    }
    if (request.empty() || request.back() != '\n')
        return {}; // a line given up unfinished
    std::string_view text = requestText(request);
    if (text.empty() || (text[0] != ';' && text[0] != '?'))
        return {}; // noise on the line
    const Route* r = route(text);
    if (!r || (r->needsTable && !hasTable()))
        return unknown(text);
    return (this->*(r->handle))(text);
}

// ":26" answers a command this model does not have (the table commands of a
// model without table among them).
Reply AsciiInstrument::unknown(std::string_view)
{
    return replyOf(":2601");
}

Reply AsciiInstrument::handshake(std::string_view)
{
    streamingMask_ = 0;
    outputWrites_.clear();
    return replyOf(std::string(":0B") + profileOf(kind_).code + kFirmwareVersion +
        (flowControl_ == 'E' ? "01" : "00") + "00");
}

Reply AsciiInstrument::extendedHandshake(std::string_view)
{
    return replyOf(std::string(":D1A0") + profileOf(kind_).code + "00");
}

Reply AsciiInstrument::tableHandshake(std::string_view)
{
    return replyOf(":D18000");
}

Reply AsciiInstrument::flowControl(std::string_view text)
{
    flowControl_ = text[4];
    return commandAck(0);
}

Reply AsciiInstrument::measureMode(std::string_view text)
{
    conditions_.mode = text[4] == 'B' ? MeasureMode::Reflection
        : text[4] == 'C'              ? MeasureMode::Transmission
                                      : MeasureMode::Emission;
    return commandAck(0);
}

Reply AsciiInstrument::lineSpeed(std::string_view text)
{
    auto rate = instrumentBaudCode(text.substr(3, 2));
    if (!rate)
        return {}; // an unknown speed code: the instrument keeps its speed
    return Reply {{}, 0, rate};
}

Reply AsciiInstrument::identify(std::string_view)
{
    // Columns 3 to 64: the model name in hex; 65 to 88: the identity; then reserved.
    std::string text = ":B6";
    for (const char* c = profileOf(kind_).name; *c && text.size() < 65; ++c)
        wire::appendByteHex(text, static_cast<std::uint8_t>(*c));
    while (text.size() < 65)
        wire::appendByteHex(text, ' ');
    text.resize(65);
    text += identity_;
    text.append(121 - text.size(), '0');
    return replyOf(text);
}

Reply AsciiInstrument::acknowledge(std::string_view)
{
    return commandAck(0);
}

Reply AsciiInstrument::parameters(std::string_view text)
{
    // ";160" F "0" E "0" I "0" O
    char filter = text[4], extra = text[6], illuminant = text[8], observer = text[10];
    bool valid = text[5] == '0' && text[7] == '0' && text[9] == '0' && filterOfCode(filter) &&
        (extra == '0' || extra == '1') && illuminantOfCode(illuminant) && observerOfCode(observer);
    if (!valid)
        return commandAck(kErrorParameter);
    conditions_.filterCode = filter;
    conditions_.extraOption = extra;
    conditions_.illuminantCode = illuminant;
    conditions_.observerCode = observer;
    return commandAck(0);
}

Reply AsciiInstrument::densitySlopes(std::string_view text)
{
    float slopes[4];
    for (int i = 0; i < 4; ++i) {
        auto value = wire::parseFloat(text, 3 + 8 * i);
        if (!value || !(*value > 0.0f && *value < 100.0f))
            return commandAck(kErrorParameter);
        slopes[i] = *value;
    }
    std::copy(slopes, slopes + 4, conditions_.densitySlopes);
    return commandAck(0);
}

Reply AsciiInstrument::readSlopes(std::string_view)
{
    std::string text = ":0C";
    appendFloats(text, conditions_.densitySlopes, 4);
    return replyOf(text);
}

Reply AsciiInstrument::calibrate(std::string_view text)
{
    char kind = text[6];
    if (kind == '7') {
        // Reference reading of the table's tile: an ordinary measurement.
        takeMeasurement();
        return replyOf(":2500", kMeasureMs);
    }
    if (kind != '0' && kind != '1' && kind != '8')
        return replyOf(":2502");
    whiteReference_ = SpectralCurve::fromFunction(whiteTileRemission);
    calibrated_ = true;
    return replyOf(":2513", kCalibrateMs);
}

void AsciiInstrument::takeMeasurement()
{
    SpectralCurve remission = bench_.withNoise(bench_.remissionUnderHead(hasTable()));
    current_ =
        measure(spectrumInMode(remission, conditions_, bench_.samples.printModel()), conditions_);
}

void AsciiInstrument::pressKey()
{
    takeMeasurement();
    bench_.keyPressed = true;
}

Reply AsciiInstrument::trigger(std::string_view)
{
    takeMeasurement();
    Reply reply = replyOf(":2500", kMeasureMs);
    if (streamingMask_ != 0)
        reply.bytes += streamingBlock();
    return reply;
}

// The unsolicited block after a trigger in streaming mode: X, Y, Z from
// column 4 and L*, a*, b* from column 33; with densities the four of them at
// columns 62, 75, 88 and 101; with the spectrum its 36 values from column 114.
std::string AsciiInstrument::streamingBlock() const
{
    constexpr std::size_t kGap = 5;
    const Reading& r = current_.reading;
    std::string text = ":BE0";
    appendFloats(text, r.xyz, 3);
    text.append(kGap, '0');
    appendFloats(text, r.lab, 3);
    if (streamingMask_ & 0xC) {
        for (int i = 0; i < 4; ++i) {
            text.append(kGap, '0');
            wire::appendFloat(text, r.density[i]);
        }
    }
    if (streamingMask_ & 0x8) {
        text.append(kGap, '0');
        appendFloats(text, r.spectrum, 36);
    }
    text.append(kGap, '0');
    return line(text);
}

Reply AsciiInstrument::spectrum(std::string_view text)
{
    char variant = text[6];
    std::string reply = std::string(":B9090") + variant;
    if (variant == '1') {
        // The white reference of the last calibration.
        for (int i = 0; i < 36; ++i)
            wire::appendFloat(reply, static_cast<float>(whiteReference_.at(380.0 + 10.0 * i)));
    } else {
        appendFloats(reply, current_.reading.spectrum, 36);
    }
    reply.append(12, '0');
    return replyOf(reply);
}

Reply AsciiInstrument::colorimetric(std::string_view text)
{
    char space = text[6];
    auto triple = colourSpaceTriple(current_, space - '0');
    if (!triple)
        triple = colourSpaceTriple(current_, 4);
    std::string reply = std::string(":BB090") + space;
    appendFloats(reply, triple->data(), 3);
    reply.append(16, '0');
    return replyOf(reply);
}

Reply AsciiInstrument::densities(std::string_view)
{
    std::string reply = ":BD09";
    appendFloats(reply, current_.reading.density, 4);
    reply.append(16, '0');
    return replyOf(reply);
}

Reply AsciiInstrument::alternateReading(std::string_view)
{
    // The table head's densitometric reading: cyan, magenta, yellow.
    std::string reply = ":D1A100";
    appendFloats(reply, current_.reading.density + 1, 3);
    return replyOf(reply + "00");
}

Reply AsciiInstrument::keyQuery(std::string_view)
{
    char state = bench_.keyPressed ? '1' : '0';
    bench_.keyPressed = false;
    return replyOf(std::string(":120") + state + "00");
}

// The streaming output is configured by four register writes in a row:
// register 2 twice (colorimetric values), register 4 (densities) and register 1
// (spectrum); the instrument takes the set bits from that sequence.
Reply AsciiInstrument::outputRegister(std::string_view text)
{
    auto reg = wire::parseByteHex(text, 3), value = wire::parseByteHex(text, 5);
    if (!reg || !value)
        return commandAck(kErrorParameter);
    outputWrites_.emplace_back(*reg, *value != 0);
    if (outputWrites_.size() > 4)
        outputWrites_.erase(outputWrites_.begin());
    if (outputWrites_.size() == 4 && outputWrites_[0].first == 2 && outputWrites_[1].first == 2 &&
        outputWrites_[2].first == 4 && outputWrites_[3].first == 1) {
        streamingMask_ = 0;
        for (int bit = 0; bit < 4; ++bit)
            streamingMask_ |= outputWrites_[bit].second ? 1u << bit : 0u;
        outputWrites_.clear();
    }
    return commandAck(0);
}

Reply AsciiInstrument::glossQuery(std::string_view)
{
    return replyOf(profileOf(kind_).hasGloss ? "=D0A000" : "=D0A001");
}

Reply AsciiInstrument::serviceQuery(std::string_view text)
{
    struct ServiceValue {
        std::string_view code;
        float value;
    };
    // Lamp voltage [V], lamp hours, head temperature [deg C], white tile L* and
    // b*, firmware major, minor and build numbers.
    static const ServiceValue kValues[] = {{"64", 5.02f}, {"65", 1234.0f}, {"68", 31.5f},
        {"6C", 96.8f}, {"6D", 1.7f}, {"79", 4.0f}, {"7A", 33.0f}, {"7B", 1208.0f}};
    std::string_view code = text.substr(3, 2);
    for (const ServiceValue& v : kValues) {
        if (v.code != code)
            continue;
        std::string reply = std::string("=C1") + std::string(code);
        wire::appendFloat(reply, v.value);
        return replyOf(reply + "0000");
    }
    return replyOf(std::string("=C0") + std::string(code) + "000000000000");
}

Reply AsciiInstrument::enterLoader(std::string_view)
{
    inLoader_ = true;
    return replyOf("=5A");
}

Reply AsciiInstrument::tableAcknowledge(std::string_view)
{
    return replyOf(":D18000");
}

Reply AsciiInstrument::headUp(std::string_view)
{
    table_.lift();
    return replyOf(":D18000");
}

Reply AsciiInstrument::headDown(std::string_view)
{
    table_.lower();
    return replyOf(":D18000");
}

Reply AsciiInstrument::tableHome(std::string_view)
{
    table_.home();
    return tableMove(true);
}

Reply AsciiInstrument::tableStatus(std::string_view)
{
    return replyOf(std::string(":D1820") + (bench_.headDown ? '1' : '0') + "00");
}

Reply AsciiInstrument::tableInfo(std::string_view)
{
    std::string reply = ":D194";
    wire::appendWord(reply, kTableMaxX);
    wire::appendWord(reply, kTableMaxY);
    wire::appendWord(reply, 0x0201); // table firmware 2.1
    return replyOf(reply);
}

Reply AsciiInstrument::tableToWhiteTile(std::string_view)
{
    table_.toWhiteTile();
    return tableMove(true);
}

Reply AsciiInstrument::tablePosition(std::string_view text)
{
    std::string reply = std::string(":D181") + "00000" + text[6];
    wire::appendWord(reply, static_cast<std::uint16_t>(bench_.head.x));
    wire::appendWord(reply, static_cast<std::uint16_t>(bench_.head.y));
    return replyOf(reply + "00");
}

Reply AsciiInstrument::tableLineSpeed(std::string_view text)
{
    auto rate = tableBaudCode(text[6]);
    if (!rate)
        return {};
    return Reply {{}, 0, rate};
}

Reply AsciiInstrument::moveAbsolute(std::string_view text)
{
    int x, y;
    if (!parseCoordinates(text, 7, false, &x, &y))
        return replyOf(":D18003");
    return tableMove(table_.moveTo(x, y));
}

Reply AsciiInstrument::moveRelative(std::string_view text)
{
    int dx, dy;
    if (!parseCoordinates(text, 5, true, &dx, &dy))
        return replyOf(":D18003");
    return tableMove(table_.moveBy(dx, dy));
}

// The table acknowledges a move with "00", a target outside its travel with "21".
Reply AsciiInstrument::tableMove(bool moved)
{
    if (!moved)
        return replyOf(":D18021");
    return replyOf(":D18000", table_.lastMoveMs());
}

} // namespace ltsim
