#pragma once
// Shared between the modules of the media layer only; the game never includes this.

#include <cstdint>
#include <memory>
#include <string>

#include "media/backend.h"

namespace media::detail {

std::unique_ptr<Backend> make_sdl_backend();

// Each module puts its state back to the start of a run. Called when a back end is selected.
void reset_system_state();
void reset_files_state();
void reset_display_state();
void reset_image_state();
void reset_text_state();
void reset_input_state();
void reset_sound_state();
void reset_journal_state();

// Forgets held keys and buttons and their counted presses: a new display starts with none.
void flush_input();

// While the window is away. The frame loop holds in WaitTimer then, the clock the game reads
// (MilliSecs) stands still, and every voice stands where it is.
bool window_away();
// The clock the game reads stops at its present reading; restarted, it goes on from there, the
// time in between left out for good.
void stop_game_clock();
void restart_game_clock();
// Held: every voice, playing or paused, stands where it is, and sounds started meanwhile wait
// with them; let go, the playing ones go on from there.
void hold_sound(bool held);

// The random generator's state, the time the game's clock has left out, and the keyboard, mouse
// and controller state: the parts of a moment that the headless back end takes and puts back for
// a search (HeadlessBackend::moment). Whether the window is away is no part of a moment.
std::int32_t random_state();
void set_random_state(std::int32_t state);
std::uint32_t game_clock_left_out();
void set_game_clock_left_out(std::uint32_t ms);
struct InputState;
std::shared_ptr<const InputState> save_input_state();
void restore_input_state(const InputState& state);

// The folder enter_program_folder makes the working directory, for an executable in `exe_folder`.
std::string program_folder(const std::string& exe_folder, const std::string& installed_data);

// Input taken in through the journal and the feed (media/journal.h), each call one take-in: a
// look at what has come, a wait until the back end's clock reads `deadline_ms`, a wait for as
// long as it takes, a wait of at most `ms` (true / nothing: whether input came).
void look_for_input();
bool wait_for_input_until(std::int32_t deadline_ms);
void wait_for_input();
void wait_for_input_at_most(int ms);
// A controller reading, false when the port has no readable device.
bool read_pad(int port, JoystickReading& reading);
// While a feed is set the back end's events are dropped: the feed's take their place.
bool feeding();
// Every event the input state takes, from the back end or a feed; the journal hears of it.
void take_event(const InputEvent& event);
void note_event(const InputEvent& event);
// The clock the game reads and the seed it asks for, as the feed has them; the journal hears.
std::int32_t clock_taken(std::int32_t now);
int seed_taken(int seed);
// The clock the game reads, as the media layer itself reads it: neither fed nor written down.
std::int32_t game_clock();
void frame_presented();
void program_ending(int status);

// Exit handlers, run by End and by fatal errors on the real back end.
void shutdown_sound();

}  // namespace media::detail
