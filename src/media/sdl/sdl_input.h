#pragma once
// The sdl back end's half of input: SDL events turned into the media layer's input events,
// and game controllers read as the game's numbered buttons and axes.

#include <SDL2/SDL.h>

#include "media/backend.h"

namespace media::detail {

// Opens every controller present (the first one found is port 0) and watches for hot-plugging.
void sdl_input_open();
void sdl_input_close();

// What SDL says is held at this moment: keys by scancode (SDL_NUM_SCANCODES of them), mouse
// buttons as SDL_BUTTON() bits.
struct HeldInput {
  const Uint8* keys;
  Uint32 buttons;
};
HeldInput sdl_held_input();

// What an SDL event means to the back end.
enum class SdlEventMeaning {
  nothing,        // nothing for the game
  input,          // the input event it was turned into
  toggle_window,  // Alt+Enter: full screen to a window, or back
};

// Turns one SDL event into an input event. Controller hot-plug events are handled here too (and
// mean nothing). When the window gains or loses the focus, whatever `held()` then reports is left
// out until it is let go. An Enter pressed while Alt is held switches the window, and neither it
// nor its auto-repeat nor its release reaches the game; the Alt does, as any other key.
SdlEventMeaning translate_sdl_event(const SDL_Event& e, InputEvent& out,
                                    HeldInput (*held)() = sdl_held_input);

// False when no controller sits on `port`.
bool sdl_read_joystick(int port, JoystickReading& out);

// The game's key code (a Windows virtual-key number) for a key, 0 for keys the game cannot name.
// Shift, Control and Alt always come as their left or right codes (160...165).
int virtual_key(SDL_Scancode scancode);
// A controller axis (-32768...32767) as the game's -1...+1.
float controller_axis_unit(Sint16 value);

}  // namespace media::detail
