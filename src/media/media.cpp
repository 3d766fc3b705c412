#include "media/media.h"

#include "media/detail/internal.h"
#include "media/headless.h"

namespace media {
namespace {

std::unique_ptr<Backend> g_backend;

void reset_modules() {
  detail::reset_sound_state();
  detail::reset_text_state();
  detail::reset_image_state();
  detail::reset_display_state();
  detail::reset_input_state();
  detail::reset_files_state();
  detail::reset_system_state();
  detail::reset_journal_state();
}

// Modules may hold textures or voices of the old back end: they let go of them before it goes,
// and start afresh on the new one. Reset functions never call backend().
template <class B>
B& install(std::unique_ptr<B> b) {
  B& ref = *b;
  reset_modules();
  g_backend = std::move(b);
  reset_modules();
  return ref;
}

}  // namespace

void use_sdl() {
  install(detail::make_sdl_backend());
}

HeadlessBackend& use_headless() {
  return install(std::make_unique<HeadlessBackend>());
}

Backend& backend() {
  // Code that runs before any selection (a tool loading pictures, say) gets the headless one.
  if (!g_backend) use_headless();
  return *g_backend;
}

}  // namespace media
