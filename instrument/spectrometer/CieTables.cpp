#include "instrument/spectrometer/CieTables.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace lt {
namespace {

// The table files are small (100 rows of eleven numbers); anything beyond this
// cannot hold more rows than the loader keeps.
constexpr std::size_t kMaxTableFileBytes = 1 << 20;
constexpr std::size_t kReadChunkBytes = 4096;

constexpr int kIlluminantFileColumns = 10;
// File column (1-based) of each stored illuminant column, in storage order.
constexpr int kStoredIlluminantFileColumn[kIlluminantStoredColumns] = {1, 8, 9, 2, 10, 3};

bool readWholeFile(const char* path, std::string& text)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    // In chunks, so that a table of a few kilobytes does not cost a buffer
    // of the whole limit.
    text.clear();
    char chunk[kReadChunkBytes];
    while (text.size() < kMaxTableFileBytes) {
        const std::size_t want = std::min(sizeof chunk, kMaxTableFileBytes - text.size());
        const std::size_t got = std::fread(chunk, 1, want, file);
        text.append(chunk, got);
        if (got < want)
            break;
    }
    const bool readable = !std::ferror(file); // a directory opens but cannot be read
    std::fclose(file);
    return readable;
}

// Reads numbers the way a formatted stream read does: leading white space is
// skipped, a conversion stops at the first character that does not belong to
// the number. Always in the C locale.
class NumberScanner {
public:
    explicit NumberScanner(const std::string& text)
        : pos_(text.data()), end_(text.data() + text.size())
    {
    }

    // Drops the first character; when it is ';' the rest of that line goes too.
    void skipLeadIn()
    {
        if (pos_ == end_)
            return;
        if (*pos_++ != ';')
            return;
        while (pos_ != end_ && *pos_ != '\n')
            ++pos_;
        if (pos_ != end_)
            ++pos_;
    }

    bool readInt(int& value)
    {
        skipSpace();
        const char* start = skipPlus();
        const auto [next, error] = std::from_chars(start, end_, value);
        if (error != std::errc())
            return false;
        pos_ = next;
        return true;
    }

    bool readFloat(float& value)
    {
        skipSpace();
        const char* start = skipPlus();
        const auto [next, error] = std::from_chars(start, end_, value);
        if (error != std::errc() || !std::isfinite(value))
            return false;
        pos_ = next;
        return true;
    }

private:
    void skipSpace()
    {
        while (pos_ != end_ && (*pos_ == ' ' || (*pos_ >= '\t' && *pos_ <= '\r')))
            ++pos_;
    }
    const char* skipPlus() const
    {
        // from_chars refuses a leading '+', a formatted read accepts it.
        return (pos_ != end_ && *pos_ == '+' && pos_ + 1 != end_ && *(pos_ + 1) != '-') ? pos_ + 1
                                                                                        : pos_;
    }

    const char* pos_;
    const char* end_;
};

void loadObserverRows(NumberScanner& scanner, CieTables& tables)
{
    for (int row = 0; row < kCieTableRows; ++row) {
        int wavelength = 0;
        float values[kObserverValueColumns];
        if (!scanner.readInt(wavelength))
            return;
        for (float& value : values)
            if (!scanner.readFloat(value))
                return;
        tables.observerWavelength[row] = static_cast<float>(wavelength);
        for (int column = 0; column < kObserverValueColumns; ++column)
            tables.observer[column][row] = values[column];
        tables.observerRows = row + 1;
    }
}

void loadIlluminantRows(NumberScanner& scanner, CieTables& tables)
{
    for (int row = 0; row < kCieTableRows; ++row) {
        int wavelength = 0;
        float fileColumns[kIlluminantFileColumns + 1]; // 1-based
        if (!scanner.readInt(wavelength))
            return;
        for (int column = 1; column <= kIlluminantFileColumns; ++column)
            if (!scanner.readFloat(fileColumns[column]))
                return;
        tables.illuminantWavelength[row] = static_cast<float>(wavelength);
        for (int stored = 0; stored < kIlluminantStoredColumns; ++stored)
            tables.illuminant[stored][row] = fileColumns[kStoredIlluminantFileColumn[stored]];
        tables.illuminantRows = row + 1;
    }
}

} // namespace

int loadCieTables(const char* observerPath, const char* illuminantPath, CieTables& tables)
{
    tables = CieTables {};
    if (!observerPath || observerPath[0] == '\0')
        return kTablesNoObserverName;

    std::string text;
    if (!readWholeFile(observerPath, text))
        return kTablesObserverNotOpened;
    NumberScanner observer(text);
    observer.skipLeadIn();
    loadObserverRows(observer, tables);

    if (!illuminantPath || illuminantPath[0] == '\0' || !readWholeFile(illuminantPath, text))
        return kTablesIlluminantNotOpened;
    NumberScanner illuminant(text);
    illuminant.skipLeadIn();
    loadIlluminantRows(illuminant, tables);
    return kTablesLoaded;
}

int illuminantColumnForIndex(int illuminantIndex)
{
    // Index 1 A (file column 1), 2 C (column 3), 3 D65 (column 2),
    // 4 D50 (column 8), 5 D55 (column 9), 6 D75 (column 10).
    // Indexes 7 and 8 (offered as "B" and "G") have no table: equal energy,
    // as for index 0.
    constexpr int kStoredColumnOfIndex[] = {-1, 0, 5, 3, 1, 2, 4};
    if (illuminantIndex < 1 || illuminantIndex > 6)
        return -1;
    return kStoredColumnOfIndex[illuminantIndex];
}

} // namespace lt
