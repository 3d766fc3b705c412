// PCM WAV output: the plain 44-byte header followed by the samples, 8-bit unsigned or
// 16-bit signed little-endian, mono or stereo.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio.h"

namespace soundgen {

// The whole file as bytes; samples outside [-1, 1] are clipped. bits is 8 or 16.
std::vector<std::uint8_t> wav_bytes(const Audio& audio, int bits);

void write_wav(const std::string& path, const Audio& audio, int bits);

}  // namespace soundgen
