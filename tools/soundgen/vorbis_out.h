// Ogg Vorbis output through libvorbisenc. The stream serial number is fixed, so the same
// samples always give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio.h"

namespace soundgen {

// quality is libvorbis's VBR quality, -0.1 to 1.
std::vector<std::uint8_t> ogg_vorbis_bytes(const Audio& audio, double quality,
                                           const std::string& title);

void write_ogg_vorbis(const std::string& path, const Audio& audio, double quality,
                      const std::string& title);

}  // namespace soundgen
