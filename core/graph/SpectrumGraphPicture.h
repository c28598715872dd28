#pragma once
// The welcome picture shown in the spectrum graph before the first plot: a
// Windows bitmap file checked for its "BM" signature and a bits offset that
// lies inside the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lt {

inline constexpr const char* kWelcomePictureName = "SWelcome.bmp";
// Largest picture read; a bigger file is not taken as a welcome picture.
inline constexpr std::size_t kWelcomePictureMaxBytes = 32u * 1024u * 1024u;

enum class PictureStatus { Loaded, Missing, Invalid };

struct WelcomePicture {
    PictureStatus status = PictureStatus::Missing;
    std::vector<std::uint8_t> file; // the whole file when Loaded
};

// Reads and checks a bitmap file: Missing when it cannot be opened, Invalid
// when it is short, lacks the signature, is oversized or its header points
// outside the file.
WelcomePicture readWelcomePicture(const std::string& path);

// The same checks on bytes already in memory.
bool isUsableBitmap(const std::vector<std::uint8_t>& file);

} // namespace lt
