// "ltrak firmware check" and "ltrak firmware download": the service page's
// S-record checks and its flash download, from the command line. Both go
// through the program's own decoder and service logic.
#include <atomic>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <signal.h>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ConsoleOperator.h"
#include "cli/PortChoice.h"
#include "core/common/AppPaths.h"
#include "core/common/NumberText.h"
#include "core/common/WholeFile.h"
#include "core/service/FirmwareDownload.h"
#include "core/service/SRecordDecoder.h"
#include "core/service/ServiceController.h"
#include "core/service/ServiceObserver.h"
#include "core/station/Workstation.h"

namespace ltrak {
namespace {

const char* const kFirmwareHelp = R"(Usage: ltrak firmware COMMAND [OPTIONS] FILE
Check a firmware file, or download it into a Lumatrak's flash.

Commands:
  check FILE       check every record of a Motorola S-record file; nothing is
                   sent anywhere
  download FILE    check the file, then write it into the instrument's flash

Run "ltrak firmware COMMAND --help" for the options of a command.
)";

const char* const kCheckHelp = R"(Usage: ltrak firmware check FILE
Check every record of a Motorola S-record firmware file (record counts,
checksums, hex digits, addresses running on without gap or overlap, size
limits) exactly as the service page does before a download, and report the
program image it gives: data records, image bytes, address range and the
256-byte blocks written to the flash (from image address 004000).

  --help           show this help

Exit status: 0 the file is sound, 1 it is refused (the line at fault is
named) or cannot be read, 2 wrong command line.
)";

const char* const kDownloadHelp = R"(Usage: ltrak firmware download [OPTIONS] FILE
Write a firmware file into the flash of a Lumatrak through its loader, as the
service page does: check the file, open the service link, enter the loader,
blank check (erasing only with --erase), write the blocks, leave the loader.
A damaged file never reaches the instrument.

  --port PORT      COM1..COM4 (as mapped in the settings), a device path, or
                   "sim" for the built-in simulator's loader (nothing real is
                   written) (default COM1)
  --baud RATE      the service link's baud rate (default: "ServiceBaudRate"
                   of the settings, 9600)
  --erase          erase the flash when it is not blank; without it a
                   download into a flash that holds a program stops there
                   and leaves the instrument as it was
  --help           show this help

Progress goes to standard error when that is a terminal.
Exit status: 0 written, 1 refused file, no port or failed download, 2 wrong
command line.
)";

// Rates the service link can be opened at.
constexpr int kServiceRates[] = {
    110, 150, 300, 600, 1200, 2400, 4800, 9600, 19200, 28800, 38400, 57600};

std::string hexAddress(std::size_t address)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06zX", address);
    return text;
}

// The decoding of a readable file; a refusal or an unreadable file is
// reported and gives nothing.
std::optional<lt::SRecordDecoding> checkedFile(const std::string& path)
{
    std::string text;
    // One byte over the limit, so that an oversized file is refused as such.
    if (lt::readFileHead(path, lt::kFirmwareFileLimit + 1, text) != lt::FileReadResult::Read) {
        fail(kExitFailure, path + ": cannot be read");
        return std::nullopt;
    }
    lt::SRecordDecoding decoding = lt::decodeSRecords(text);
    if (!decoding.ok) {
        fail(kExitFailure, path + ": refused, " + lt::describeRefusal(decoding));
        return std::nullopt;
    }
    return decoding;
}

std::size_t flashBlocks(const std::vector<std::uint8_t>& image)
{
    if (image.size() <= lt::kFlashImageStart)
        return 0;
    return (image.size() - lt::kFlashImageStart + lt::kDownloadBlockBytes - 1) /
        lt::kDownloadBlockBytes;
}

int check(const std::vector<std::string>& words)
{
    Arguments arguments = parseArguments(words, {}, {});
    if (arguments.help) {
        std::fputs(kCheckHelp, stdout);
        return kExitSuccess;
    }
    if (!arguments.error.empty())
        return fail(kExitUsage, arguments.error + " (see ltrak firmware check --help)");
    if (arguments.positional.size() != 1)
        return fail(kExitUsage, "check needs one firmware file (see ltrak firmware check --help)");
    const std::string& path = arguments.positional[0];
    const std::optional<lt::SRecordDecoding> decoding = checkedFile(path);
    if (!decoding)
        return kExitFailure;
    const std::vector<std::uint8_t>& image = decoding->image;
    const std::size_t blocks = flashBlocks(image);
    const std::string flash = blocks == 0
        ? "nothing for the flash (it begins at " + hexAddress(lt::kFlashImageStart) + ")"
        : std::to_string(blocks) + " blocks of " + std::to_string(lt::kDownloadBlockBytes) +
            " bytes for the flash from " + hexAddress(lt::kFlashImageStart);
    std::printf("%s: sound, %d data records, program image of %zu bytes at %s-%s, %s\n",
        path.c_str(), decoding->dataRecords, image.size(), hexAddress(0).c_str(),
        hexAddress(image.size() - 1).c_str(), flash.c_str());
    return kExitSuccess;
}

// The operator of a download: the file chosen on the command line, the erase
// question answered by --erase, every other message on standard error.
class DownloadOperator : public ConsoleOperator {
public:
    DownloadOperator(std::string file, bool erase) : file(std::move(file)), erase(erase) { }

    lt::MessageAnswer showMessage(const std::string& text, const std::string& caption,
        lt::MessageButtons buttons, lt::MessageIcon icon) override
    {
        if (text == lt::kEraseQuestion) {
            eraseAsked = true;
            return erase ? lt::MessageAnswer::Ok : lt::MessageAnswer::Cancel;
        }
        return ConsoleOperator::showMessage(text, caption, buttons, icon);
    }
    std::optional<std::string> chooseFileToOpen(
        const std::string&, const std::string&, const std::string&) override
    {
        return file;
    }

    bool eraseAsked = false;

private:
    std::string file;
    bool erase;
};

// The service page's message line and progress bar on standard error, when
// that is a terminal.
class ConsoleProgress : public lt::ServiceObserver {
public:
    ConsoleProgress() : shown(progressWanted()) { }
    void messageLineChanged(const std::string& text) override
    {
        if (shown)
            std::fprintf(stderr, "\r%s\n", text.c_str());
    }
    void progressRangeChanged(int lowest, int highest) override
    {
        low = lowest;
        high = highest;
    }
    void progressChanged(int position) override
    {
        if (shown && high > low)
            std::fprintf(stderr, "\r%3d %%", (position - low) * 100 / (high - low));
    }

private:
    bool shown;
    int low = 0;
    int high = 0;
};

// While it lives, Ctrl-C (SIGINT) asks the download to stop before its
// next block instead of ending the program in the middle of a block.
class StopOnInterrupt {
public:
    explicit StopOnInterrupt(lt::ServiceController& service)
    {
        running = &service;
        struct sigaction action { };
        action.sa_handler = [](int) {
            interruptSeen = true;
            if (lt::ServiceController* service = running.load())
                service->requestStop();
        };
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previous);
    }
    ~StopOnInterrupt()
    {
        sigaction(SIGINT, &previous, nullptr);
        running = nullptr;
    }
    static bool interrupted() { return interruptSeen.load(); }
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

private:
    static inline std::atomic<lt::ServiceController*> running {nullptr};
    static inline std::atomic<bool> interruptSeen {false};
    struct sigaction previous { };
};

std::optional<std::uint16_t> serviceRate(const std::string& text)
{
    const std::optional<int> rate = lt::parseInteger(text);
    for (int known : kServiceRates)
        if (rate && *rate == known)
            return static_cast<std::uint16_t>(known);
    return std::nullopt;
}

int download(const std::vector<std::string>& words)
{
    Arguments arguments = parseArguments(words, {"port", "baud"}, {"erase"});
    if (arguments.help) {
        std::fputs(kDownloadHelp, stdout);
        return kExitSuccess;
    }
    if (!arguments.error.empty())
        return fail(kExitUsage, arguments.error + " (see ltrak firmware download --help)");
    if (arguments.positional.size() != 1)
        return fail(
            kExitUsage, "download needs one firmware file (see ltrak firmware download --help)");
    std::optional<std::uint16_t> chosenRate;
    if (const std::optional<std::string> text = arguments.option("baud")) {
        chosenRate = serviceRate(*text);
        if (!chosenRate)
            return fail(
                kExitUsage, "--baud needs a rate of the serial line (300, 1200, ... 57600)");
    }
    const std::string portName = arguments.option("port").value_or("COM1");
    const std::string& path = arguments.positional[0];

    DownloadOperator op(path, arguments.option("erase").has_value());
    lt::ensureConfigDirectory();
    lt::Workstation station(op, lt::configDirectory());
    station.record().instrumentType = lt::InstrumentLumatrakS;
    lt::ServiceController service(station, {});
    ConsoleProgress progress;
    service.setObserver(&progress);
    const std::uint16_t rate = chosenRate.value_or(service.storedBaudRate());

    ltsim::SimulatorOptions simulated;
    simulated.device = ltsim::DeviceKind::LumatrakS;
    simulated.baudRate = rate;
    const PortLine line = attachPort(station, portName, simulated);
    if (line.exitCode != kExitSuccess)
        return fail(line.exitCode, line.error);
    if (line.simulator)
        std::fprintf(stderr,
            "ltrak: --port sim: writing into the built-in simulator's loader on %s, "
            "not into an instrument\n",
            line.devicePath.c_str());

    // Checked before the service link is opened: a damaged file never
    // reaches the wire.
    const std::optional<lt::SRecordDecoding> decoding = checkedFile(path);
    if (!decoding)
        return kExitFailure;

    service.startService(rate);
    if (service.messageText() != lt::kOpenedPort)
        return fail(kExitFailure,
            "the service link on " + portName + " (" + line.devicePath + ") could not be opened");
    service.loadFile();
    if (!service.imageLoaded())
        return fail(kExitFailure, path + ": the service logic refused the file");
    service.downloadProgram();
    {
        const StopOnInterrupt interrupt(service);
        service.waitForDownload();
    }
    const unsigned long status = service.lastDownloadResult();
    const std::string outcome = service.messageText();
    if (progressWanted())
        std::fprintf(stderr, "\n");
    if (outcome == lt::kProgrammingAborted && op.eraseAsked)
        return fail(kExitFailure,
            "the instrument's flash holds a program and --erase was not given: nothing was "
            "written, the instrument keeps its program (" +
                outcome + ")");
    if (status == lt::kStatusOk && outcome == lt::kProgrammingDone) {
        std::printf("%s: %s, %zu blocks written%s\n", path.c_str(), lt::kProgrammingDone,
            flashBlocks(decoding->image), line.simulator ? " into the simulator's flash" : "");
        return kExitSuccess;
    }
    std::string reason = (StopOnInterrupt::interrupted() ? "the download was interrupted: "
                                                         : "the download failed: ") +
        outcome + " (" + std::to_string(status) + ")";
    // A download that ended part way leaves the instrument in its loader:
    // "Close Service" takes it out, as the service page tells the operator.
    if (service.serviceActive()) {
        service.closeService();
        if (service.messageText() == lt::kServiceTerminationFailed)
            reason += "; " + std::string(lt::kServiceTerminationFailed);
    }
    if (outcome == lt::kProgrammingFailed || status == lt::kStatusDownloadStopped)
        reason += "; the flash holds no complete program: download again";
    return fail(kExitFailure, reason);
}

} // namespace

int firmwareCommand(const std::vector<std::string>& words)
{
    if (words.empty()) {
        std::fputs(kFirmwareHelp, stderr);
        return kExitUsage;
    }
    if (words[0] == "--help" || words[0] == "-h") {
        std::fputs(kFirmwareHelp, stdout);
        return kExitSuccess;
    }
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    if (words[0] == "check")
        return check(rest);
    if (words[0] == "download")
        return download(rest);
    return fail(kExitUsage, "unknown firmware command \"" + words[0] + "\" (check, download)");
}

} // namespace ltrak
