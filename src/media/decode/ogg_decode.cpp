// Ogg Vorbis decoded completely at load through libvorbisfile, reading from memory. Long music
// is decoded in two halves at once, by two handles on the same bytes.

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

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

// Frames just past the middle that both halves decode. A packet yields at most 4096 frames, so
// this covers the whole of the packet the second handle decodes first after its seek, the only
// one whose frames could come out differently.
constexpr std::size_t seam_frames = 8192;

enum class Outcome { filled, ended, failed };

// Where decoded frames go: `frames` frames laid out as in the sample.
struct FrameSpan {
  std::uint8_t* bytes;
  std::size_t frames;
};

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

  // Fills `span` with the next frames of the stream, keeping the first one or two channels:
  // `ended` when the stream stops first (the rest of the span is left as it was), `failed` on
  // a decoding error, holes included. Frames decoded past the span wait for the next call.
  Outcome fill(FrameSpan span, int channels) {
    std::size_t written = 0;
    while (written < span.frames) {
      if (pending_frames_ == 0) {
        if (const Outcome read = read_chunk(); read != Outcome::filled) return read;
      }
      const std::size_t frames = std::min(pending_frames_, span.frames - written);
      const std::size_t out_frame = static_cast<std::size_t>(channels) * 2;
      const std::size_t in_frame = static_cast<std::size_t>(pending_channels_) * 2;
      convert_frames(span.bytes + written * out_frame, channels, pcm_.data() + pending_at_, frames,
                     pending_channels_);
      pending_at_ += frames * in_frame;
      pending_frames_ -= frames;
      written += frames;
    }
    return Outcome::filled;
  }

  // The stream's position in frames, counting only what has been handed out.
  ogg_int64_t position() { return ov_pcm_tell(&file_) - static_cast<ogg_int64_t>(pending_frames_); }

 private:
  Outcome read_chunk() {
    static constexpr int little_endian = 0, two_bytes = 2, is_signed = 1;
    int link = 0;
    const long got =
        ov_read(&file_, reinterpret_cast<char*>(pcm_.data()), static_cast<int>(pcm_.size()),
                little_endian, two_bytes, is_signed, &link);
    if (got == 0) return Outcome::ended;
    if (got < 0) return Outcome::failed;
    const vorbis_info* info = ov_info(&file_, link);
    if (!info || info->channels < 1) return Outcome::failed;
    pending_channels_ = info->channels;
    pending_at_ = 0;
    pending_frames_ =
        static_cast<std::size_t>(got) / (2 * static_cast<std::size_t>(info->channels));
    return Outcome::filled;
  }

  // Decoded frames of `from_channels` into the sample's layout; a mono link fills both sides of
  // a stereo sample.
  static void convert_frames(std::uint8_t* out, int out_channels, const std::uint8_t* pcm,
                             std::size_t frames, int from_channels) {
    const std::size_t out_frame = static_cast<std::size_t>(out_channels) * 2;
    if (from_channels == out_channels) {
      std::memcpy(out, pcm, frames * out_frame);
      return;
    }
    const std::size_t in_frame = static_cast<std::size_t>(from_channels) * 2;
    const std::size_t second = from_channels > 1 ? 2 : 0;
    for (std::size_t f = 0; f < frames; ++f) {
      const std::uint8_t* in = pcm + f * in_frame;
      std::memcpy(out + f * out_frame, in, 2);
      if (out_channels == 2) std::memcpy(out + f * out_frame + 2, in + second, 2);
    }
  }

  MemoryFile memory_;
  OggVorbis_File file_{};
  bool open_ = false;
  std::vector<std::uint8_t> pcm_ = std::vector<std::uint8_t>(64 * 1024);
  std::size_t pending_at_ = 0;  // byte offset in pcm_
  std::size_t pending_frames_ = 0;
  int pending_channels_ = 0;
};

bool plausible_length(ogg_int64_t frames, std::size_t file_size) {
  return frames >= 0 && frames <= max_frames &&
         frames / max_frames_per_byte <= static_cast<ogg_int64_t>(file_size);
}

FrameSpan frames_of(AudioSample& sample, std::size_t from, std::size_t to) {
  return {sample.bytes.data() + from * static_cast<std::size_t>(sample.bytes_per_frame()),
          to - from};
}

void silence(AudioSample& sample, std::size_t from) {
  const FrameSpan rest = frames_of(sample, from, sample.frames);
  std::memset(rest.bytes, 0, rest.frames * static_cast<std::size_t>(sample.bytes_per_frame()));
}

// The second half as another handle decodes it: it seeks to the middle, decodes the seam into
// a buffer of its own and the rest straight into the sample, past the first half's part.
struct SecondHalf {
  std::vector<std::uint8_t> seam;
  ogg_int64_t position_after_seam = -1;
  Outcome outcome = Outcome::failed;

  void decode(const std::uint8_t* data, std::size_t size, AudioSample& sample, std::size_t middle) {
    VorbisFile file(data, size);
    const auto start = static_cast<ogg_int64_t>(middle);
    if (!file.open() || ov_pcm_seek(file.get(), start) != 0 || ov_pcm_tell(file.get()) != start)
      return;
    const std::size_t seam_end = middle + seam_frames;
    seam.resize(seam_frames * static_cast<std::size_t>(sample.bytes_per_frame()));
    if (file.fill({seam.data(), seam_frames}, sample.channels) != Outcome::filled) return;
    position_after_seam = file.position();
    outcome = file.fill(frames_of(sample, seam_end, sample.frames), sample.channels);
  }
};

bool worth_splitting(OggVorbis_File* file, const AudioSample& sample, std::size_t split_from) {
  return sample.frames >= std::max(split_from, 4 * seam_frames) && ov_streams(file) == 1;
}

// The whole sample from two handles at once. A seek is exact in a sound file, but a damaged one
// can throw it off, so the second handle's frames are kept only when both handles decoded the
// same seam and stand at the same position after it; otherwise the first handle carries on
// alone, as one pass would. Errors met by either are only believed from the first handle, so
// a damaged file fails exactly where one pass fails.
Outcome decode_in_halves(VorbisFile& first, const std::uint8_t* data, std::size_t size,
                         AudioSample& sample) {
  const std::size_t middle = sample.frames / 2;
  const std::size_t seam_end = middle + seam_frames;
  SecondHalf second;
  Outcome head;
  try {
    std::jthread helper([&] {
      try {
        second.decode(data, size, sample, middle);
      } catch (const std::bad_alloc&) {  // left failed: the first handle does it all
      }
    });
    head = first.fill(frames_of(sample, 0, seam_end), sample.channels);
  } catch (const std::system_error&) {  // no thread to be had: one pass
    return first.fill(frames_of(sample, 0, sample.frames), sample.channels);
  }
  if (head == Outcome::failed) return head;
  if (head == Outcome::ended) {
    silence(sample, seam_end);  // the stream stopped before the second half's part
    return head;
  }
  const FrameSpan seam = frames_of(sample, middle, seam_end);
  const bool agreed = second.outcome != Outcome::failed &&
                      second.position_after_seam == first.position() &&
                      std::memcmp(second.seam.data(), seam.bytes, second.seam.size()) == 0;
  if (agreed) return second.outcome;
  silence(sample, seam_end);
  return first.fill(frames_of(sample, seam_end, sample.frames), sample.channels);
}

}  // namespace

std::optional<AudioSample> decode_ogg(const std::uint8_t* data, std::size_t size,
                                      std::size_t split_from) {
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
  const Outcome outcome = worth_splitting(file.get(), sample, split_from)
                              ? decode_in_halves(file, data, size, sample)
                              : file.fill(frames_of(sample, 0, sample.frames), sample.channels);
  if (outcome == Outcome::failed) return std::nullopt;
  return sample;
}

}  // namespace media::detail
