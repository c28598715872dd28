// The stand-in for libFuzzer when a fuzz target is built without clang: it
// runs every file named on the command line (a folder stands for the files
// in it), then a fixed number of variations of them (bytes changed, inserted,
// cut, pieces of two inputs spliced), so that the regression run over a
// target's corpus also explores a little around it. Arguments starting with
// "-" are libFuzzer options and are ignored. The variations come from a fixed
// seed: a run is repeatable. An input that crashes the target is written to
// the file fuzz-crash-input in the working directory.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Input = std::vector<std::uint8_t>;

// Variations run after the named inputs; LTRAKW_FUZZ_VARIATIONS overrides it.
constexpr int kDefaultVariations = 2000;
constexpr std::uint32_t kSeed = 20261208;
constexpr std::size_t kLongestVariation = 64 * 1024;
constexpr std::size_t kLongestRandomInput = 512;

bool isDirectory(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> inputFiles(const std::string& path)
{
    if (!isDirectory(path))
        return {path};
    std::vector<std::string> files;
    if (DIR* directory = ::opendir(path.c_str())) {
        while (const dirent* item = ::readdir(directory)) {
            const std::string name = item->d_name;
            if (name != "." && name != ".." && !isDirectory(path + "/" + name))
                files.push_back(path + "/" + name);
        }
        ::closedir(directory);
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool readInput(const std::string& path, Input& bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), {});
    return true;
}

constexpr const char* kCrashFile = "fuzz-crash-input";
const Input* current = nullptr;

// Keeps the input that brought the target down (only async-signal-safe calls).
extern "C" void saveCrashingInput(int signal)
{
    if (current) {
        const int file = ::open(kCrashFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (file >= 0) {
            if (::write(file, current->data(), current->size()) < 0) { }
            ::close(file);
        }
        const char note[] = "fuzz driver: the crashing input is in fuzz-crash-input\n";
        if (::write(STDERR_FILENO, note, sizeof note - 1) < 0) { }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void run(const Input& input)
{
    current = &input;
    LLVMFuzzerTestOneInput(input.data(), input.size());
    current = nullptr;
}

// One variation of a corpus input, or random bytes when there is no corpus.
Input vary(const std::vector<Input>& corpus, std::mt19937& random)
{
    auto pick = [&](std::size_t count) {
        return count == 0 ? std::size_t {0} : static_cast<std::size_t>(random() % count);
    };
    if (corpus.empty()) {
        Input bytes(pick(kLongestRandomInput));
        for (auto& byte : bytes)
            byte = static_cast<std::uint8_t>(random());
        return bytes;
    }
    Input bytes = corpus[pick(corpus.size())];
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int edit = 0; edit < edits; ++edit) {
        const std::size_t at = pick(bytes.size() + 1);
        switch (random() % 6) {
        case 0: // change a byte
            if (at < bytes.size())
                bytes[at] = static_cast<std::uint8_t>(random());
            break;
        case 1: // flip a bit
            if (at < bytes.size())
                bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            break;
        case 2: // insert a byte
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                static_cast<std::uint8_t>(random()));
            break;
        case 3: // cut the rest
            bytes.resize(at);
            break;
        case 4: { // remove a run
            const std::size_t length =
                std::min(pick(16) + 1, bytes.size() - std::min(at, bytes.size()));
            bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
            break;
        }
        default: { // splice in a piece of another input
            const Input& other = corpus[pick(corpus.size())];
            const std::size_t from = pick(other.size() + 1);
            const std::size_t length = pick(other.size() - from + 1);
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                other.begin() + static_cast<std::ptrdiff_t>(from),
                other.begin() + static_cast<std::ptrdiff_t>(from + length));
            break;
        }
        }
    }
    if (bytes.size() > kLongestVariation)
        bytes.resize(kLongestVariation);
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(signal, saveCrashingInput);
    std::vector<Input> corpus;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.empty() || argument.front() == '-')
            continue;
        for (const std::string& path : inputFiles(argument)) {
            Input bytes;
            if (!readInput(path, bytes)) {
                std::fprintf(stderr, "%s: cannot read %s\n", argv[0], path.c_str());
                return EXIT_FAILURE;
            }
            run(bytes);
            corpus.push_back(std::move(bytes));
        }
    }
    int variations = kDefaultVariations;
    if (const char* text = std::getenv("LTRAKW_FUZZ_VARIATIONS"))
        variations = std::max(0, std::atoi(text));
    std::mt19937 random(kSeed);
    for (int round = 0; round < variations; ++round)
        run(vary(corpus, random));
    std::printf(
        "%s: %zu corpus inputs and %d variations survived\n", argv[0], corpus.size(), variations);
    return EXIT_SUCCESS;
}
