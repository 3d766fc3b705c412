#pragma once
// Keyboard, mouse and game controllers, as polled state.
//
// The first controller (port 0) also stands in for the keys and the mouse that the game reads
// outside play (the menu, the screens between levels), whatever shows: a press of A, B or Start is
// a press of Enter (13), Back held is Escape (27) held, the left stick or the d-pad moves the
// pointer (MouseX, MouseY; across the 1024-pixel screen in 1.5 s at full tilt, nothing inside a
// fifth of the stick's travel) and A held is the left mouse button held. The real mouse wins
// whenever it moves. The controller's own buttons and axes (JoyX, JoyDown, JoyHit) read as before.

namespace media {

int KeyDown(int key);
int KeyHit(int key);
int WaitKey();
// Sleeps until some input arrives or `ms` milliseconds have passed, and takes it in: for a loop
// that polls for a key without keeping a processor busy.
void WaitInput(int ms);
int MouseX();
int MouseY();
int MouseDown(int button);
void FlushMouse();
float JoyX(int port = 0);
int JoyDown(int button, int port = 0);
int JoyHit(int button, int port = 0);

}  // namespace media
