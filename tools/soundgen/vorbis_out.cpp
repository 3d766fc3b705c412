#include "vorbis_out.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <stdexcept>

#include "file_io.h"

namespace soundgen {
namespace {

constexpr int kSerialNumber = 0x48656467;
constexpr long kChunkFrames = 1024;

// Owns the libvorbis and libogg state of one encoding.
class Encoder {
 public:
  Encoder(const Audio& audio, double quality, const std::string& title) {
    vorbis_info_init(&info_);
    if (vorbis_encode_init_vbr(&info_, audio.channels, audio.rate, static_cast<float>(quality))) {
      vorbis_info_clear(&info_);
      throw std::runtime_error("libvorbisenc refused the channel count, rate or quality");
    }
    vorbis_comment_init(&comment_);
    vorbis_comment_add_tag(&comment_, "TITLE", title.c_str());
    vorbis_analysis_init(&dsp_, &info_);
    vorbis_block_init(&dsp_, &block_);
    ogg_stream_init(&stream_, kSerialNumber);
  }

  ~Encoder() {
    ogg_stream_clear(&stream_);
    vorbis_block_clear(&block_);
    vorbis_dsp_clear(&dsp_);
    vorbis_comment_clear(&comment_);
    vorbis_info_clear(&info_);
  }

  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  void write_headers() {
    ogg_packet identification, comments, codebooks;
    vorbis_analysis_headerout(&dsp_, &comment_, &identification, &comments, &codebooks);
    ogg_stream_packetin(&stream_, &identification);
    ogg_stream_packetin(&stream_, &comments);
    ogg_stream_packetin(&stream_, &codebooks);
    // The first audio data starts on a fresh page, as players expect.
    ogg_page page;
    while (ogg_stream_flush(&stream_, &page)) append(page);
  }

  void write_samples(const Audio& audio) {
    const std::size_t frames = audio.frames();
    for (std::size_t first = 0; first < frames; first += kChunkFrames) {
      const long count = static_cast<long>(std::min<std::size_t>(kChunkFrames, frames - first));
      float** buffer = vorbis_analysis_buffer(&dsp_, count);
      for (long i = 0; i < count; ++i)
        for (int channel = 0; channel < audio.channels; ++channel)
          buffer[channel][i] = audio.at(first + i, channel);
      vorbis_analysis_wrote(&dsp_, count);
      drain();
    }
    vorbis_analysis_wrote(&dsp_, 0);  // end of stream: the last page carries the exact length
    drain();
  }

  std::vector<std::uint8_t> take_bytes() { return std::move(bytes_); }

 private:
  void append(const ogg_page& page) {
    bytes_.insert(bytes_.end(), page.header, page.header + page.header_len);
    bytes_.insert(bytes_.end(), page.body, page.body + page.body_len);
  }

  void drain() {
    while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
      vorbis_analysis(&block_, nullptr);
      vorbis_bitrate_addblock(&block_);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp_, &packet)) {
        ogg_stream_packetin(&stream_, &packet);
        ogg_page page;
        while (ogg_stream_pageout(&stream_, &page)) append(page);
      }
    }
    ogg_page page;
    if (ogg_stream_eos(&stream_))
      while (ogg_stream_flush(&stream_, &page)) append(page);
  }

  vorbis_info info_;
  vorbis_comment comment_;
  vorbis_dsp_state dsp_;
  vorbis_block block_;
  ogg_stream_state stream_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::vector<std::uint8_t> ogg_vorbis_bytes(const Audio& audio, double quality,
                                           const std::string& title) {
  if (audio.channels != 1 && audio.channels != 2)
    throw std::runtime_error("Ogg Vorbis output is mono or stereo only");
  if (audio.frames() == 0) throw std::runtime_error("no samples to encode");
  Encoder encoder(audio, quality, title);
  encoder.write_headers();
  encoder.write_samples(audio);
  return encoder.take_bytes();
}

void write_ogg_vorbis(const std::string& path, const Audio& audio, double quality,
                      const std::string& title) {
  write_file(path, ogg_vorbis_bytes(audio, quality, title));
}

}  // namespace soundgen
