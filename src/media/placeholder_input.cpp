// Temporary definitions so the tree links; the input developer replaces this file.
#include "media/input.h"
#include "media/internal.h"

namespace media {
int KeyDown(int) { return 0; }
int KeyHit(int) { return 0; }
int WaitKey() { return 0; }
int MouseX() { return 0; }
int MouseY() { return 0; }
int MouseDown(int) { return 0; }
void FlushMouse() {}
float JoyX(int) { return 0; }
int JoyDown(int, int) { return 0; }
int JoyHit(int, int) { return 0; }
namespace detail {
void deliver_event(const InputEvent&) {}
void reset_input_state() {}
}  // namespace detail
}  // namespace media
