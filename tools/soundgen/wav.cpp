#include "wav.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "file_io.h"

namespace soundgen {
namespace {

void put_u16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xff));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xff));
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put_u16(out, value & 0xffff);
  put_u16(out, value >> 16);
}

void put_tag(std::vector<std::uint8_t>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

void put_sample(std::vector<std::uint8_t>& out, float sample, int bits) {
  const double clipped = std::clamp(static_cast<double>(sample), -1.0, 1.0);
  if (bits == 8) {
    out.push_back(static_cast<std::uint8_t>(std::lround(clipped * 127.0) + 128));
  } else {
    put_u16(out,
            static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(clipped * 32767.0))));
  }
}

}  // namespace

std::vector<std::uint8_t> wav_bytes(const Audio& audio, int bits) {
  if (bits != 8 && bits != 16) throw std::runtime_error("WAV samples must be 8 or 16 bits");
  if (audio.channels != 1 && audio.channels != 2)
    throw std::runtime_error("WAV output is mono or stereo only");
  const std::uint32_t block_align = audio.channels * bits / 8;
  const std::uint64_t data_size = static_cast<std::uint64_t>(audio.frames()) * block_align;
  if (data_size > 0xffffffffull - 64) throw std::runtime_error("sound too long for a WAV file");
  const std::uint32_t pad = data_size % 2;  // RIFF chunks keep an even length

  std::vector<std::uint8_t> out;
  out.reserve(44 + data_size + pad);
  put_tag(out, "RIFF");
  put_u32(out, static_cast<std::uint32_t>(36 + data_size + pad));
  put_tag(out, "WAVE");
  put_tag(out, "fmt ");
  put_u32(out, 16);
  put_u16(out, 1);  // PCM
  put_u16(out, audio.channels);
  put_u32(out, audio.rate);
  put_u32(out, audio.rate * block_align);
  put_u16(out, block_align);
  put_u16(out, bits);
  put_tag(out, "data");
  put_u32(out, static_cast<std::uint32_t>(data_size));
  for (float sample : audio.samples) put_sample(out, sample, bits);
  if (pad) out.push_back(0);
  return out;
}

void write_wav(const std::string& path, const Audio& audio, int bits) {
  write_file(path, wav_bytes(audio, bits));
}

}  // namespace soundgen
