#include "media/media.h"

#include "media/headless.h"
#include "media/internal.h"

namespace media {
namespace {

std::unique_ptr<Backend> g_backend;

void reset_modules(detail::BackendKind kind) {
  detail::reset_sound_state(kind);
  detail::reset_text_state();
  detail::reset_image_state();
  detail::reset_display_state();
  detail::reset_input_state();
  detail::reset_files_state();
  detail::reset_system_state();
}

// Modules may hold textures or voices of the old back end: they let go of them before it goes,
// and start afresh on the new one. Reset functions never call backend().
template <class B>
B& install(std::unique_ptr<B> b, detail::BackendKind kind) {
  B& ref = *b;
  reset_modules(kind);
  g_backend = std::move(b);
  reset_modules(kind);
  return ref;
}

}  // namespace

void use_sdl() {
  install(detail::make_sdl_backend(), detail::BackendKind::sdl);
}

HeadlessBackend& use_headless() {
  return install(std::make_unique<HeadlessBackend>(), detail::BackendKind::headless);
}

Backend& backend() {
  // Code that runs before any selection (a tool loading pictures, say) gets the headless one.
  if (!g_backend) use_headless();
  return *g_backend;
}

}  // namespace media
