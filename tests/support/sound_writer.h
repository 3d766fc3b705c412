#pragma once
// Small sound files made in memory.

#include <cstdint>
#include <vector>

namespace test_support {

// A mono 16-bit WAV of `frames` frames at `rate`, every sample the same.
inline std::vector<unsigned char> encode_wav(int rate, std::uint32_t frames) {
  std::vector<unsigned char> b{'R', 'I', 'F', 'F', 0,   0,   0,   0,
                               'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  auto put = [&b](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
  };
  put(16, 4);
  put(1, 2);
  put(1, 2);
  put(static_cast<std::uint32_t>(rate), 4);
  put(static_cast<std::uint32_t>(rate) * 2, 4);
  put(2, 2);
  put(16, 2);
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  put(frames * 2, 4);
  b.resize(b.size() + frames * 2, 0x10);
  return b;
}

}  // namespace test_support
