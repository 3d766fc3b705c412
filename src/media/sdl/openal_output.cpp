// The real audio output: one OpenAL buffer per sound, one source per voice.

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <string>

#include "media/backend.h"
#include "media/detail/audio_output.h"

namespace media::detail {
namespace {

// The device and context, shared by the buffers and voices made on them so that a sound kept
// past the end of the output does not touch a closed device.
class Device {
 public:
  Device(ALCdevice* device, ALCcontext* context) : device_(device), context_(context) {}
  ~Device() { close(); }
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  bool open() const { return device_ != nullptr; }

  // The whole device stops mixing: every source keeps its state and its place, so nothing the
  // sound module asks of a voice changes meanwhile. A device without the extension plays on.
  void hold(bool held) {
    if (!device_ || !alcIsExtensionPresent(device_, "ALC_SOFT_pause_device")) return;
    if (held) {
      call<LPALCDEVICEPAUSESOFT>("alcDevicePauseSOFT");
    } else {
      call<LPALCDEVICERESUMESOFT>("alcDeviceResumeSOFT");
    }
  }

  void close() {
    if (!device_) return;
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context_);
    alcCloseDevice(device_);
    device_ = nullptr;
    context_ = nullptr;
  }

 private:
  template <class Function>
  void call(const char* name) {
    if (auto f = reinterpret_cast<Function>(alcGetProcAddress(device_, name))) f(device_);
  }

  ALCdevice* device_;
  ALCcontext* context_;
};

// A failing call while a sound is being placed in the device ends the program: the game has no
// way to go on without the sound and nothing to tell the player but this.
void check(const char* step) {
  ALenum error = alGetError();
  if (error != AL_NO_ERROR) {
    backend().fatal(std::string(step) + " failed (" + std::to_string(error & 0xFFFF) + ")");
  }
}

ALenum al_format(const AudioSample& sample) {
  if (sample.channels == 1) return sample.bits == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
  return sample.bits == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

// OpenAL takes 16-bit samples in the machine's byte order; ours are little-endian.
void fill(ALuint buffer, const AudioSample& sample) {
  const std::vector<std::uint8_t>* bytes = &sample.bytes;
  std::vector<std::uint8_t> swapped;
  if constexpr (std::endian::native == std::endian::big) {
    if (sample.bits == 16) {
      swapped = sample.bytes;
      for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
      bytes = &swapped;
    }
  }
  alBufferData(buffer, al_format(sample), bytes->data(), static_cast<ALsizei>(bytes->size()),
               sample.rate);
}

class OpenALVoice final : public OutputVoice {
 public:
  // `source` is a new source playing nothing yet.
  OpenALVoice(std::shared_ptr<Device> device, ALuint source, ALuint buffer)
      : device_(std::move(device)), source_(source) {
    alSourcei(source_, AL_BUFFER, static_cast<ALint>(buffer));
    // Pan is a position beside the listener, so the source moves with the listener.
    alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
    check("alSourcei");
  }
  ~OpenALVoice() override {
    if (device_->open()) alDeleteSources(1, &source_);
  }

  void play(bool loop) override {
    if (!device_->open()) return;
    alSourcei(source_, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSourcePlay(source_);
  }
  void pause() override {
    if (device_->open()) alSourcePause(source_);
  }
  void rewind() override {
    if (device_->open()) alSourceRewind(source_);
  }
  void set_mix(float volume, float pan, float rate) override {
    if (!device_->open()) return;
    alSourcef(source_, AL_GAIN, std::max(volume, 0.0f));
    float x = std::clamp(pan, -1.0f, 1.0f);
    alSource3f(source_, AL_POSITION, x, 0.0f, -std::sqrt(1.0f - x * x));
    // OpenAL refuses a pitch of 0; a stopped rate is as slow as it allows instead.
    alSourcef(source_, AL_PITCH, std::max(rate, 1.0f / 1024));
  }
  bool playing() override {
    if (!device_->open()) return false;
    ALint state = AL_STOPPED;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
  }
  double offset_seconds() override {
    if (!device_->open()) return 0;
    ALfloat seconds = 0;
    alGetSourcef(source_, AL_SEC_OFFSET, &seconds);
    return seconds;
  }

 private:
  std::shared_ptr<Device> device_;
  ALuint source_;
};

class OpenALBuffer final : public OutputBuffer {
 public:
  OpenALBuffer(std::shared_ptr<Device> device, const AudioSample& sample)
      : device_(std::move(device)) {
    alGetError();
    alGenBuffers(1, &buffer_);
    check("alGenBuffers");
    fill(buffer_, sample);
    check("alBufferData");
  }
  ~OpenALBuffer() override {
    if (device_->open()) alDeleteBuffers(1, &buffer_);
  }

  // The device has a limited number of sources; when they are all in use the play is simply
  // not heard, rather than the game ending for one sound too many.
  std::unique_ptr<OutputVoice> make_voice() override {
    if (!device_->open()) return nullptr;
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) return nullptr;
    return std::make_unique<OpenALVoice>(device_, source, buffer_);
  }

 private:
  std::shared_ptr<Device> device_;
  ALuint buffer_ = 0;
};

class OpenALOutput final : public AudioOutput {
 public:
  explicit OpenALOutput(std::shared_ptr<Device> device) : device_(std::move(device)) {}
  ~OpenALOutput() override { device_->close(); }

  std::unique_ptr<OutputBuffer> make_buffer(const AudioSample& sample) override {
    return std::make_unique<OpenALBuffer>(device_, sample);
  }
  void hold(bool held) override { device_->hold(held); }

 private:
  std::shared_ptr<Device> device_;
};

}  // namespace

std::shared_ptr<AudioOutput> open_openal_output() {
  ALCdevice* device = alcOpenDevice(nullptr);
  if (!device) return nullptr;
  ALCcontext* context = alcCreateContext(device, nullptr);
  if (!context || !alcMakeContextCurrent(context)) {
    if (context) alcDestroyContext(context);
    alcCloseDevice(device);
    return nullptr;
  }
  return std::make_shared<OpenALOutput>(std::make_shared<Device>(device, context));
}

}  // namespace media::detail
