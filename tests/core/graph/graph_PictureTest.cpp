// The welcome picture file: the shipped one, missing, damaged and
// oversized files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/graph/SpectrumGraphPicture.h"

using namespace lt;

namespace {

std::string writeTemp(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    const auto path = std::filesystem::temp_directory_path() / ("graph_picture_" + name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(
        reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

// A 2 x 1 24-bit bitmap.
std::vector<std::uint8_t> tinyBitmap()
{
    std::vector<std::uint8_t> file = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
        2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0};
    file.resize(54, 0);
    for (int i = 0; i < 8; ++i)
        file.push_back(0xff);
    return file;
}

void put32(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace

TEST(WelcomePicture, TheShippedPictureIsABitmap)
{
    const WelcomePicture picture =
        readWelcomePicture(std::string(LTRAKW_SOURCE_DIR) + "/data/SWelcome.bmp");
    EXPECT_EQ(picture.status, PictureStatus::Loaded);
    EXPECT_GT(picture.file.size(), 1000u);
}

TEST(WelcomePicture, MissingDamagedAndGoodFiles)
{
    EXPECT_EQ(readWelcomePicture("/nonexistent/dir/SWelcome.bmp").status, PictureStatus::Missing);
    EXPECT_EQ(
        readWelcomePicture(writeTemp("good.bmp", tinyBitmap())).status, PictureStatus::Loaded);

    auto wrongSignature = tinyBitmap();
    wrongSignature[0] = 'P';
    EXPECT_EQ(readWelcomePicture(writeTemp("signature.bmp", wrongSignature)).status,
        PictureStatus::Invalid);

    const std::vector<std::uint8_t> truncated = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(readWelcomePicture(writeTemp("short.bmp", truncated)).status, PictureStatus::Invalid);
    EXPECT_EQ(readWelcomePicture(writeTemp("empty.bmp", {})).status, PictureStatus::Invalid);
}

TEST(WelcomePicture, HeaderOffsetsOutsideTheFileAreRejected)
{
    auto bitsBeyondEnd = tinyBitmap();
    put32(bitsBeyondEnd, 10, 0xFFFFFFF0u);
    EXPECT_FALSE(isUsableBitmap(bitsBeyondEnd));

    auto bitsInsideHeader = tinyBitmap();
    put32(bitsInsideHeader, 10, 20);
    EXPECT_FALSE(isUsableBitmap(bitsInsideHeader));

    auto hugeInfoHeader = tinyBitmap();
    put32(hugeInfoHeader, 14, 0x7FFFFFFFu);
    EXPECT_FALSE(isUsableBitmap(hugeInfoHeader));

    EXPECT_TRUE(isUsableBitmap(tinyBitmap()));
}
