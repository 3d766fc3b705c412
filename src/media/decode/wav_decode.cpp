// PCM WAV: a RIFF file of chunks. The format chunk must come first; other chunks before the
// samples (LIST, fact, cue...) are skipped.

#include <cstring>
#include <string_view>

#include "media/decode/sound_decode.h"

namespace media::detail {
namespace {

// Reads little-endian fields from a byte range; every read is checked against the end.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t remaining() const { return size_ - pos_; }
  const std::uint8_t* here() const { return data_ + pos_; }

  bool tag(std::string_view expected) {
    if (remaining() < 4 || std::memcmp(here(), expected.data(), 4) != 0) return false;
    pos_ += 4;
    return true;
  }
  bool u16(std::uint32_t& out) { return little_endian(2, out); }
  bool u32(std::uint32_t& out) { return little_endian(4, out); }
  // Skipping past the end is refused rather than wrapped, whatever size a chunk declares.
  bool skip(std::uint64_t count) {
    if (count > remaining()) return false;
    pos_ += static_cast<std::size_t>(count);
    return true;
  }

 private:
  bool little_endian(int count, std::uint32_t& out) {
    if (remaining() < static_cast<std::size_t>(count)) return false;
    out = 0;
    for (int i = count - 1; i >= 0; --i) out = (out << 8) | data_[pos_ + i];
    pos_ += count;
    return true;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

struct PcmFormat {
  int channels = 0;
  int bits = 0;
  int rate = 0;
};

constexpr std::uint32_t pcm_tag = 1;
constexpr std::uint32_t format_fields_size = 16;

// RIFF pads a chunk of odd size to an even length; the pad byte is not counted in its size.
std::uint64_t padded(std::uint32_t size) {
  return std::uint64_t{size} + (size & 1);
}

bool supported(std::uint32_t channels, std::uint32_t bits, std::uint32_t rate) {
  return (channels == 1 || channels == 2) && (bits == 8 || bits == 16) &&
         rate >= static_cast<std::uint32_t>(min_sample_rate) &&
         rate <= static_cast<std::uint32_t>(max_sample_rate);
}

std::optional<PcmFormat> read_format_chunk(ByteReader& in) {
  std::uint32_t size, tag, channels, rate, byte_rate, align, bits;
  if (!in.tag("fmt ") || !in.u32(size) || size < format_fields_size) return std::nullopt;
  if (!in.u16(tag) || !in.u16(channels) || !in.u32(rate) || !in.u32(byte_rate) || !in.u16(align) ||
      !in.u16(bits)) {
    return std::nullopt;
  }
  if (tag != pcm_tag || !supported(channels, bits, rate)) return std::nullopt;
  if (!in.skip(padded(size) - format_fields_size)) return std::nullopt;
  return PcmFormat{static_cast<int>(channels), static_cast<int>(bits), static_cast<int>(rate)};
}

// The chunks after the format: the first "data" chunk holds the samples.
std::optional<AudioSample> read_data_chunk(ByteReader& in, const PcmFormat& format) {
  while (true) {
    bool is_data = in.tag("data");
    if (!is_data && !in.skip(4)) return std::nullopt;
    std::uint32_t size;
    if (!in.u32(size)) return std::nullopt;
    if (!is_data) {
      if (!in.skip(padded(size))) return std::nullopt;
      continue;
    }
    if (size > in.remaining() || size > max_sample_bytes) return std::nullopt;
    AudioSample sample;
    sample.channels = format.channels;
    sample.bits = format.bits;
    sample.rate = format.rate;
    sample.frames = size / static_cast<std::size_t>(sample.bytes_per_frame());
    sample.bytes.assign(in.here(), in.here() + sample.frames * sample.bytes_per_frame());
    return sample;
  }
}

}  // namespace

std::optional<AudioSample> decode_wav(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  std::uint32_t riff_size;
  if (!in.tag("RIFF") || !in.u32(riff_size) || !in.tag("WAVE")) return std::nullopt;
  std::optional<PcmFormat> format = read_format_chunk(in);
  if (!format) return std::nullopt;
  return read_data_chunk(in, *format);
}

}  // namespace media::detail
