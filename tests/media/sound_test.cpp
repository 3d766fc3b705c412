// Voices and channels on the headless back end, where voices play out on the virtual clock.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "media/detail/audio_output.h"
#include "media/detail/internal.h"
#include "media/detail/sound_internal.h"
#include "media/sound.h"
#include "support/headless_test.h"
#include "support/sound_writer.h"

namespace {

using namespace media;
using Bytes = std::vector<unsigned char>;

class Sound : public HeadlessTest {
 protected:
  // 0.25 s effect and a 1 s loop.
  media::Sound effect() {
    scratch.write("effect.wav", test_support::encode_wav(8000, 2000));
    return LoadSound("effect.wav", 0);
  }
  media::Sound loop() {
    scratch.write("loop.wav", test_support::encode_wav(8000, 8000));
    return LoadSound("loop.wav", sound_loop);
  }
};

TEST_F(Sound, AnEffectStopsWhenItsDurationHasPassed) {
  media::Sound s = effect();
  hb.set_clock(1000);
  Channel c = PlaySound(s);
  EXPECT_EQ(ChannelPlaying(c), 1);
  hb.set_clock(1249);
  EXPECT_EQ(ChannelPlaying(c), 1);
  hb.set_clock(1250);
  EXPECT_EQ(ChannelPlaying(c), 0);
}

TEST_F(Sound, OverlappingPlaysGetAVoiceEachAndReuseFinishedOnes) {
  media::Sound s = effect();
  Channel a = PlaySound(s), b = PlaySound(s), c = PlaySound(s);
  EXPECT_EQ(detail::voice_count(s), 3);
  EXPECT_TRUE(ChannelPlaying(a) && ChannelPlaying(b) && ChannelPlaying(c));

  hb.set_clock(hb.millisecs() + 300);
  Channel d = PlaySound(s);
  EXPECT_EQ(detail::voice_count(s), 3);
  // d took the first voice again: a lost it and no longer sees it playing or pauses it.
  EXPECT_EQ(ChannelPlaying(a), 0);
  PauseChannel(a);
  ResumeChannel(a);
  EXPECT_EQ(ChannelPlaying(d), 1);
}

TEST_F(Sound, PauseAndResumeKeepTheLoopsPosition) {
  media::Sound s = loop();
  hb.set_clock(0);
  Channel c = PlaySound(s);
  hb.set_clock(2300);  // 2.3 loops
  EXPECT_EQ(ChannelPlaying(c), 1);
  PauseChannel(c);
  EXPECT_EQ(ChannelPlaying(c), 0);
  EXPECT_NEAR(*detail::channel_offset_seconds(c), 0.3, 1e-9);

  hb.set_clock(9000);
  EXPECT_NEAR(*detail::channel_offset_seconds(c), 0.3, 1e-9);
  ResumeChannel(c);
  EXPECT_EQ(ChannelPlaying(c), 1);
  hb.set_clock(9500);
  EXPECT_NEAR(*detail::channel_offset_seconds(c), 0.8, 1e-9);
  // Resuming a channel that is playing (the game manager does) must not start it over.
  ResumeChannel(c);
  EXPECT_NEAR(*detail::channel_offset_seconds(c), 0.8, 1e-9);
}

TEST_F(Sound, ResumedEffectPlaysOnlyItsRest) {
  media::Sound s = effect();
  hb.set_clock(0);
  Channel c = PlaySound(s);
  hb.set_clock(100);
  PauseChannel(c);
  hb.set_clock(5000);
  ResumeChannel(c);
  hb.set_clock(5149);
  EXPECT_EQ(ChannelPlaying(c), 1);
  hb.set_clock(5150);
  EXPECT_EQ(ChannelPlaying(c), 0);
  // Finished: pausing lets the voice go, and resuming cannot bring it back.
  PauseChannel(c);
  ResumeChannel(c);
  EXPECT_EQ(ChannelPlaying(c), 0);
  EXPECT_FALSE(detail::channel_offset_seconds(c));
}

TEST_F(Sound, WhileTheWindowIsAwayEveryVoiceStandsAndThePlayingOnesGoOnOnItsReturn) {
  media::Sound fx = effect();
  media::Sound music = loop();
  hb.set_clock(1000);
  Channel effect_channel = PlaySound(fx);
  Channel music_channel = PlaySound(music);
  Channel paused_by_game = PlaySound(music);
  hb.set_clock(1100);
  PauseChannel(paused_by_game);
  hb.inject_at_time(1100, {InputEvent::Type::focus_lost});
  hb.poll_events();

  hb.set_clock(61100);
  EXPECT_EQ(ChannelPlaying(effect_channel), 1) << "held, not over";
  EXPECT_NEAR(*detail::channel_offset_seconds(effect_channel), 0.1, 1e-9);
  EXPECT_NEAR(*detail::channel_offset_seconds(music_channel), 0.1, 1e-9);
  Channel started_away = PlaySound(fx);  // waits with the rest
  hb.set_clock(61130);
  hb.inject_at_time(61130, {InputEvent::Type::focus_gained});
  hb.poll_events();

  hb.set_clock(61279);
  EXPECT_EQ(ChannelPlaying(effect_channel), 1);
  hb.set_clock(61280);
  EXPECT_EQ(ChannelPlaying(effect_channel), 0) << "its last 0.15 s played after the return";
  EXPECT_NEAR(*detail::channel_offset_seconds(music_channel), 0.25, 1e-9);
  EXPECT_NEAR(*detail::channel_offset_seconds(started_away), 0.15, 1e-9);
  EXPECT_EQ(ChannelPlaying(paused_by_game), 0) << "the game's own pause outlasts the return";
  EXPECT_NEAR(*detail::channel_offset_seconds(paused_by_game), 0.1, 1e-9);
}

TEST_F(Sound, IdleChannelsDoNothing) {
  Channel idle = CreateChannel();
  PauseChannel(idle);
  ResumeChannel(idle);
  EXPECT_EQ(ChannelPlaying(idle), 0);
  EXPECT_EQ(ChannelPlaying(nullptr), 0);

  Channel none = PlaySound(nullptr);
  ASSERT_TRUE(none);
  EXPECT_EQ(ChannelPlaying(none), 0);
}

TEST_F(Sound, PlayingOnAChannelAgainStopsWhatItPlayed) {
  media::Sound s = loop();
  Channel c = PlaySound(s);
  PauseChannel(c);
  EXPECT_EQ(PlaySound(s, c), c);
  EXPECT_EQ(ChannelPlaying(c), 1);
  // The paused voice was given up, so the second play reused it.
  EXPECT_EQ(detail::voice_count(s), 1);
}

TEST_F(Sound, DroppingAChannelFreesAPausedVoiceButLetsAPlayingOneFinish) {
  media::Sound s = loop();
  Channel kept = PlaySound(s);
  {
    Channel paused = PlaySound(s);
    PauseChannel(paused);
  }
  { Channel playing = PlaySound(s); }
  EXPECT_EQ(detail::voice_count(s), 2);
  // The playing voice still plays (a loop, so for ever): a new play needs a third voice.
  PlaySound(s);
  EXPECT_EQ(detail::voice_count(s), 3);
  EXPECT_EQ(ChannelPlaying(kept), 1);
}

// The real output, on OpenAL's null device, which mixes in real time without any hardware.
class OpenALSound : public Sound {
 protected:
  void SetUp() override {
    setenv("ALSOFT_DRIVERS", "null", 1);
    std::shared_ptr<detail::AudioOutput> device = detail::open_openal_output();
    detail::use_audio_output(device ? device : detail::make_silent_output());
  }
  void TearDown() override { detail::shutdown_sound(); }

  // The sound, or none (with the silent output checked) when OpenAL has no device at all.
  media::Sound load(const std::string& name, const Bytes& bytes, int flags) {
    scratch.write(name, bytes);
    media::Sound s = LoadSound(name, flags);
    if (s && detail::sound_is_silent(s)) {
      EXPECT_EQ(ChannelPlaying(PlaySound(s)), 0);
      return nullptr;
    }
    return s;
  }
};

TEST_F(OpenALSound, PlaysPausesAndFinishes) {
  media::Sound s = load("effect.wav", test_support::encode_wav(8000, 1600), 0);  // 0.2 s
  if (!s) GTEST_SKIP() << "OpenAL could not open even its null device";
  Channel c = PlaySound(s);
  EXPECT_EQ(ChannelPlaying(c), 1);
  PauseChannel(c);
  EXPECT_EQ(ChannelPlaying(c), 0);
  ResumeChannel(c);
  EXPECT_EQ(ChannelPlaying(c), 1);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (ChannelPlaying(c) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(ChannelPlaying(c), 0);
  // Sounds outlive the output: after it is shut down they no longer play, nor crash.
  detail::shutdown_sound();
  EXPECT_EQ(ChannelPlaying(c), 0);
  PauseChannel(c);
}

TEST_F(OpenALSound, WhileTheWindowIsAwayTheDeviceStandsStill) {
  media::Sound s = load("loop.wav", test_support::encode_wav(8000, 8000), sound_loop);
  if (!s) GTEST_SKIP() << "OpenAL could not open even its null device";
  Channel c = PlaySound(s);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  hb.inject_at_time(hb.millisecs(), {InputEvent::Type::focus_lost});
  hb.poll_events();
  const double held_at = *detail::channel_offset_seconds(c);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(ChannelPlaying(c), 1);
  EXPECT_EQ(*detail::channel_offset_seconds(c), held_at);
  hb.inject_at_time(hb.millisecs(), {InputEvent::Type::focus_gained});
  hb.poll_events();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (*detail::channel_offset_seconds(c) == held_at &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_NE(*detail::channel_offset_seconds(c), held_at) << "still held after the return";
}

TEST_F(OpenALSound, RunningOutOfSourcesSilencesOnlyTheExtraPlays) {
  media::Sound s = load("loop.wav", test_support::encode_wav(8000, 8000), sound_loop);
  if (!s) GTEST_SKIP() << "OpenAL could not open even its null device";
  std::vector<Channel> channels;
  while (channels.size() < 5000) {
    channels.push_back(PlaySound(s));
    if (!ChannelPlaying(channels.back())) break;
  }
  ASSERT_LT(channels.size(), 5000u) << "the device never ran out of sources";
  EXPECT_EQ(ChannelPlaying(channels.front()), 1);
  // A voice given up is played again without needing another source.
  PauseChannel(channels.front());
  channels.front().reset();
  EXPECT_EQ(ChannelPlaying(PlaySound(s)), 1);
}

}  // namespace
