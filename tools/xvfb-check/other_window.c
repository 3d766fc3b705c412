/* Another program's window, to take the keyboard focus from the game: maps a 200 x 200 window
   titled "other window" and waits until it is killed. Usage: other_window */
#include <X11/Xlib.h>
#include <stdio.h>

int main(void) {
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "other_window: cannot open the X display\n");
    return 1;
  }
  Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 200, 0, 0, 0);
  XStoreName(display, window, "other window");
  XSelectInput(display, window, KeyPressMask | KeyReleaseMask);
  XMapWindow(display, window);
  XFlush(display);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
  }
}
