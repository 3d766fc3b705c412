#pragma once
// Keyboard, mouse and game controllers, as polled state.

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
