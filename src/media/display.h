#pragma once
// The display, the draw state every drawing operation reads, untextured shapes, presenting,
// and the frame timer.

#include <cstdint>
#include <memory>

#include "media/backend.h"

namespace media {

struct TImageFont;

struct TDrawState {
  int color_red = 255, color_green = 255, color_blue = 255;
  float color_alpha = 1.0f;
  int clscolor_red = 0, clscolor_green = 0, clscolor_blue = 0;
  float line_width = 1.0f;
  float tform_rot = 0.0f;
  float tform_scale_x = 1.0f, tform_scale_y = 1.0f;
  float tform_ix = 1.0f, tform_iy = 0.0f, tform_jx = 0.0f, tform_jy = 1.0f;
  int viewport_x = 0, viewport_y = 0, viewport_w = 0, viewport_h = 0;
  float origin_x = 0.0f, origin_y = 0.0f;
  float handle_x = 0.0f, handle_y = 0.0f;  // stored negated
  std::shared_ptr<TImageFont> image_font;  // none: the built-in font
  int blend_mode = 1;
  float vres_width = 0.0f, vres_height = 0.0f;
  float vres_mousexscale = 1.0f, vres_mouseyscale = 1.0f;
  int g_width = 0, g_height = 0;
};

struct TTimer {
  int _ticks = 0;
  int _wticks = 0;
  int period_ms = 16;
  std::int32_t start_ms = 0;
};
using Timer = std::shared_ptr<TTimer>;

void SelectRenderer(int default_flags);
// Opens the display; a display that cannot be opened at all stops the program with a message.
bool Graphics(int width, int height, int depth, int hertz, int flags);
void Flip(int sync = -1);
void Cls();
void SetColor(int r, int g, int b);
void SetAlpha(float alpha);
void SetBlend(int mode);
void SetRotation(float degrees);
void SetScale(float sx, float sy);
void DrawRect(float x, float y, float w, float h);
void DrawOval(float x, float y, float w, float h);
Timer CreateTimer(float hertz);
// Waits for the timer's next tick and returns how many ticks have passed since the last wait.
// While the window is away (another window has the focus) it does not return: the frame loop,
// and with it the game's clock, stands still until the focus comes back.
int WaitTimer(const Timer& timer);

// The current draw state (read-only outside this module).
const TDrawState& draw_state();
// The collision matrix: the drawing matrix as it was last computed.
struct Matrix2 {
  float ix, iy, jx, jy;
};
Matrix2 collision_matrix();

// A texture made lazily from a pixel buffer for the current display generation.
struct TextureSlot {
  std::unique_ptr<Texture> texture;
  int seq = 0;  // the display generation it was made for; 0 = none
};

namespace detail {
// Draws a picture as a quad: the corners (x0, y0)-(x1, y1) are in the shape's own space, go
// through the drawing matrix and are then moved by (tx, ty) (origin already added by the caller).
// The texture is made or remade in `slot` when needed. Colour, alpha and blend come from the
// draw state.
void draw_textured_quad(const TPixmap& pixmap, TextureSlot& slot, int image_flags, float x0,
                        float y0, float x1, float y1, float tx, float ty);
// Makes `font` the draw state's current font (none: the built-in font). Used by SetImageFont.
void set_image_font(std::shared_ptr<TImageFont> font);
}  // namespace detail

}  // namespace media
