// Ogg Vorbis decoded completely at load through libvorbisfile, reading from memory.

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "media/decode/sound_decode.h"

namespace media::detail {
namespace {

struct MemoryFile {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos = 0;
};

std::size_t read_memory(void* ptr, std::size_t size, std::size_t count, void* source) {
  auto* file = static_cast<MemoryFile*>(source);
  if (size == 0) return 0;
  std::size_t items = std::min(count, (file->size - file->pos) / size);
  if (items == 0) return 0;  // an empty file may have no bytes to point at
  std::memcpy(ptr, file->data + file->pos, items * size);
  file->pos += items * size;
  return items;
}

int seek_memory(void* source, ogg_int64_t offset, int whence) {
  auto* file = static_cast<MemoryFile*>(source);
  ogg_int64_t base = 0;
  if (whence == SEEK_CUR) base = static_cast<ogg_int64_t>(file->pos);
  if (whence == SEEK_END) base = static_cast<ogg_int64_t>(file->size);
  if (offset < -base || offset > static_cast<ogg_int64_t>(file->size) - base) return -1;
  file->pos = static_cast<std::size_t>(base + offset);
  return 0;
}

long tell_memory(void* source) {
  return static_cast<long>(static_cast<MemoryFile*>(source)->pos);
}

const ov_callbacks memory_callbacks{read_memory, seek_memory, nullptr, tell_memory};

// A Vorbis packet takes at least one byte and yields at most 4096 frames, so a stream cannot
// hold more frames than this per byte of file; a length beyond it is a damaged last page.
constexpr ogg_int64_t max_frames_per_byte = 4096;
// Nearly an hour at 44.1 kHz: longer is not music for this game but a damaged header, and the
// whole length is allocated before decoding.
constexpr ogg_int64_t max_frames = ogg_int64_t{1} << 27;

class VorbisFile {
 public:
  VorbisFile(const std::uint8_t* data, std::size_t size) : memory_{data, size} {
    open_ = ov_open_callbacks(&memory_, &file_, nullptr, 0, memory_callbacks) == 0;
  }
  ~VorbisFile() {
    if (open_) ov_clear(&file_);
  }
  VorbisFile(const VorbisFile&) = delete;
  VorbisFile& operator=(const VorbisFile&) = delete;

  bool open() const { return open_; }
  OggVorbis_File* get() { return &file_; }

 private:
  MemoryFile memory_;
  OggVorbis_File file_{};
  bool open_ = false;
};

bool plausible_length(ogg_int64_t frames, std::size_t file_size) {
  return frames >= 0 && frames <= max_frames &&
         frames / max_frames_per_byte <= static_cast<ogg_int64_t>(file_size);
}

// Copies decoded frames of `from_channels` into the sample, keeping the first one or two.
void append_frames(AudioSample& sample, std::size_t& written, const std::uint8_t* pcm,
                   std::size_t frames, int from_channels) {
  frames = std::min(frames, sample.frames - written);
  const std::size_t out_frame = static_cast<std::size_t>(sample.bytes_per_frame());
  std::uint8_t* out = sample.bytes.data() + written * out_frame;
  if (from_channels == sample.channels) {
    std::memcpy(out, pcm, frames * out_frame);
  } else {
    const std::size_t in_frame = static_cast<std::size_t>(from_channels) * 2;
    const std::size_t second = from_channels > 1 ? 2 : 0;  // a mono link fills both sides
    for (std::size_t f = 0; f < frames; ++f) {
      const std::uint8_t* in = pcm + f * in_frame;
      std::memcpy(out + f * out_frame, in, 2);
      if (sample.channels == 2) std::memcpy(out + f * out_frame + 2, in + second, 2);
    }
  }
  written += frames;
}

// Decodes until the declared length is filled or the stream ends; what the stream does not
// deliver stays silent. False on a decoding error, holes included.
bool decode_all(OggVorbis_File* file, AudioSample& sample) {
  static constexpr int little_endian = 0, two_bytes = 2, is_signed = 1;
  std::vector<std::uint8_t> pcm(64 * 1024);
  std::size_t written = 0;
  while (written < sample.frames) {
    int link = 0;
    long got = ov_read(file, reinterpret_cast<char*>(pcm.data()), static_cast<int>(pcm.size()),
                       little_endian, two_bytes, is_signed, &link);
    if (got == 0) return true;
    if (got < 0) return false;
    const vorbis_info* info = ov_info(file, link);
    if (!info || info->channels < 1) return false;
    append_frames(sample, written, pcm.data(),
                  static_cast<std::size_t>(got) / (2 * static_cast<std::size_t>(info->channels)),
                  info->channels);
  }
  return true;
}

}  // namespace

std::optional<AudioSample> decode_ogg(const std::uint8_t* data, std::size_t size) {
  VorbisFile file(data, size);
  if (!file.open()) return std::nullopt;
  const vorbis_info* info = ov_info(file.get(), 0);
  ogg_int64_t declared = ov_pcm_total(file.get(), -1);
  if (!info || info->channels < 1 || info->rate < min_sample_rate || info->rate > max_sample_rate ||
      !plausible_length(declared, size)) {
    return std::nullopt;
  }
  AudioSample sample;
  sample.channels = info->channels == 1 ? 1 : 2;
  sample.bits = 16;
  sample.rate = static_cast<int>(info->rate);
  sample.frames = static_cast<std::size_t>(declared);
  sample.bytes.resize(sample.frames * static_cast<std::size_t>(sample.bytes_per_frame()));
  if (!decode_all(file.get(), sample)) return std::nullopt;
  return sample;
}

}  // namespace media::detail
