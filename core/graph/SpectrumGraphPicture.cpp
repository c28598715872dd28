#include "core/graph/SpectrumGraphPicture.h"

#include <fstream>
#include <utility>

namespace lt {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kSmallestInfoHeader = 12; // the oldest bitmap core header
constexpr std::size_t kBitsOffsetAt = 10;

std::uint32_t readLittle32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
        static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
        static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

} // namespace

bool isUsableBitmap(const std::vector<std::uint8_t>& file)
{
    if (file.size() < kFileHeaderSize + kSmallestInfoHeader ||
        file.size() > kWelcomePictureMaxBytes)
        return false;
    if (file[0] != 'B' || file[1] != 'M')
        return false;
    const std::uint32_t bitsOffset = readLittle32(file, kBitsOffsetAt);
    const std::uint32_t infoSize = readLittle32(file, kFileHeaderSize);
    return infoSize >= kSmallestInfoHeader && kFileHeaderSize + infoSize <= file.size() &&
        bitsOffset >= kFileHeaderSize + infoSize && bitsOffset < file.size();
}

WelcomePicture readWelcomePicture(const std::string& path)
{
    WelcomePicture picture;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        picture.status = PictureStatus::Missing;
        return picture;
    }
    std::vector<std::uint8_t> bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
        if (bytes.size() > kWelcomePictureMaxBytes) {
            picture.status = PictureStatus::Invalid;
            return picture;
        }
    }
    if (!isUsableBitmap(bytes)) {
        picture.status = PictureStatus::Invalid;
        return picture;
    }
    picture.status = PictureStatus::Loaded;
    picture.file = std::move(bytes);
    return picture;
}

} // namespace lt
