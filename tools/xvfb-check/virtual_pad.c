/* Preloaded into the game: a virtual game controller, made by SDL itself inside the game's
   process (this machine has no uinput, and SDL's virtual controllers exist only in the process
   that makes them). It is attached as the game starts SDL's game-controller subsystem, so the
   game finds it at start-up as its first controller, and it is worked by lines written to the
   FIFO named by VIRTUAL_PAD_FIFO:
     press <button>       release <button>      button: a b x y back guide start
     axis <axis> <value>                        axis: leftx lefty; value -32768...32767
   "virtual pad attached" goes to standard error once the FIFO is open. */
#define _GNU_SOURCE
#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static SDL_Joystick* pad;

static int button_named(const char* name) {
  static const char* const names[] = {"a", "b", "x", "y", "back", "guide", "start"};
  for (int i = 0; i < (int)(sizeof names / sizeof names[0]); ++i) {
    if (strcmp(name, names[i]) == 0) return i; /* SDL_CONTROLLER_BUTTON_A ... START */
  }
  return -1;
}

static int axis_named(const char* name) {
  if (strcmp(name, "leftx") == 0) return SDL_CONTROLLER_AXIS_LEFTX;
  if (strcmp(name, "lefty") == 0) return SDL_CONTROLLER_AXIS_LEFTY;
  return -1;
}

static void act_on(const char* line) {
  char verb[16], name[16];
  int value = 0;
  int fields = sscanf(line, "%15s %15s %d", verb, name, &value);
  if (fields >= 2 && strcmp(verb, "press") == 0 && button_named(name) >= 0) {
    SDL_JoystickSetVirtualButton(pad, button_named(name), SDL_PRESSED);
  } else if (fields >= 2 && strcmp(verb, "release") == 0 && button_named(name) >= 0) {
    SDL_JoystickSetVirtualButton(pad, button_named(name), SDL_RELEASED);
  } else if (fields == 3 && strcmp(verb, "axis") == 0 && axis_named(name) >= 0) {
    SDL_JoystickSetVirtualAxis(pad, axis_named(name), (Sint16)value);
  } else {
    fprintf(stderr, "virtual pad: cannot read \"%s\"\n", line);
  }
}

/* Opened for reading and writing, so that it never reads an end while nobody writes. */
static void* read_commands(void* fifo) {
  FILE* in = fopen((const char*)fifo, "r+");
  if (!in) {
    fprintf(stderr, "virtual pad: cannot open %s\n", (const char*)fifo);
    return NULL;
  }
  fprintf(stderr, "virtual pad attached\n");
  char line[128];
  while (fgets(line, sizeof line, in)) {
    line[strcspn(line, "\n")] = '\0';
    act_on(line);
  }
  return NULL;
}

static void attach(void) {
  const char* fifo = getenv("VIRTUAL_PAD_FIFO");
  if (!fifo) return;
  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX; /* in SDL's order: a b x y back guide start ... */
  desc.name = "Virtual pad";
  int index = SDL_JoystickAttachVirtualEx(&desc);
  pad = index < 0 ? NULL : SDL_JoystickOpen(index);
  if (!pad) {
    fprintf(stderr, "virtual pad: %s\n", SDL_GetError());
    return;
  }
  pthread_t reader;
  pthread_create(&reader, NULL, read_commands, (void*)fifo);
  pthread_detach(reader);
}

int SDL_InitSubSystem(Uint32 flags) {
  static int (*real)(Uint32);
  if (!real) real = (int (*)(Uint32))dlsym(RTLD_NEXT, "SDL_InitSubSystem");
  int result = real(flags);
  if (result == 0 && (flags & SDL_INIT_GAMECONTROLLER) && !pad) attach();
  return result;
}
