#pragma once
// Ogg Vorbis files made on the spot through libvorbisenc, for the sound tests and the sound
// benchmark. Header-only so the benchmark can use it without the test support library.

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace test_support {

namespace ogg_detail {

inline void append_page(std::vector<unsigned char>& out, const ogg_page& page) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}

inline void drain(ogg_stream_state& stream, std::vector<unsigned char>& out, bool flush) {
  ogg_page page;
  while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
    append_page(out, page);
  }
}

}  // namespace ogg_detail

// The value (-1...1) of a channel at a frame.
using OggSignal = std::function<float(int channel, long frame)>;

// A tone of a different pitch in each channel.
inline OggSignal tone_signal(int rate) {
  return [rate](int channel, long frame) {
    return static_cast<float>(0.5 * std::sin(2 * M_PI * 220.0 * (channel + 1) * frame / rate));
  };
}

// `frames` frames of `signal` at `rate`, as an Ogg Vorbis file of many small pages. The stream
// serial number is fixed, so the same arguments give the same bytes.
inline std::vector<unsigned char> encode_ogg(int channels, int rate, long frames,
                                             float quality = 0.4f, OggSignal signal = nullptr) {
  if (!signal) signal = tone_signal(rate);
  std::vector<unsigned char> out;
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
    vorbis_info_clear(&info);
    return out;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 0x48656467);

  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&dsp, &comment, &header, &comments, &codebooks);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &comments);
  ogg_stream_packetin(&stream, &codebooks);
  ogg_detail::drain(stream, out, true);

  auto pump = [&] {
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
        ogg_stream_packetin(&stream, &packet);
        ogg_detail::drain(stream, out, false);
      }
    }
  };
  const long chunk = 4096;
  for (long done = 0; done < frames; done += chunk) {
    long count = std::min(chunk, frames - done);
    float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
    for (int c = 0; c < channels; ++c) {
      for (long i = 0; i < count; ++i) buffer[c][i] = signal(c, done + i);
    }
    vorbis_analysis_wrote(&dsp, static_cast<int>(count));
    pump();
    // A page per chunk, so that even short files have pages to damage in the middle.
    ogg_detail::drain(stream, out, true);
  }
  vorbis_analysis_wrote(&dsp, 0);
  pump();
  ogg_detail::drain(stream, out, true);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

}  // namespace test_support
