/* Preloaded into the game: notes when each frame is presented and, when the game exits (which
   also shows that its exit handlers ran), reports the frames and the rate of its last 2 seconds.
   With PRESENT_COUNT_FILE set, the number of frames presented so far is kept in that file. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#define KEPT 1024
static double times[KEPT];
static long frames;

static double now(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (double)ts.tv_sec + ts.tv_nsec / 1e9;
}

static void keep_count(void) {
  static int fd = -2;
  if (fd == -2) {
    const char* path = getenv("PRESENT_COUNT_FILE");
    fd = path ? open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
  }
  if (fd < 0) return;
  char text[32];
  int n = snprintf(text, sizeof text, "%-20ld\n", frames);
  if (pwrite(fd, text, (size_t)n, 0) != n) fd = -1;
}

void SDL_RenderPresent(void* renderer) {
  static void (*real)(void*);
  if (!real) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
  real(renderer);
  times[frames++ % KEPT] = now();
  keep_count();
}

__attribute__((destructor)) static void report(void) {
  if (frames == 0) {
    fprintf(stderr, "presented 0 frames\n");
    return;
  }
  double last = times[(frames - 1) % KEPT];
  long recent = 0;
  for (long i = frames - 1; i >= 0 && i > frames - KEPT && times[i % KEPT] > last - 2.0; --i) {
    ++recent;
  }
  fprintf(stderr, "presented %ld frames, %.1f per second over the last 2 s\n", frames,
          recent / 2.0);
}
