// The display surface: every drawing operation works on our own back buffer
// of 0xRRGGBB pixels, so pictures are exact and alike on every platform.
// Changed areas are marked for repaint and copied out by paint_dirty();
// lines also reach the screen at once unless no_direct is set.
#include "screen/screen.h"
#include "screen/platform.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int scr_width, scr_height;
int char_width, char_ascent, row_height;
int graph_bottom, text_bottom;
int prompt_x, status_x;
int text_x, text_y;
int text_bg, text_fg = 15;
int xor_mode;
int no_direct;
uint32_t *back_buffer;

// The 16 colours of the PC text modes.
const uint32_t palette[NUM_COLORS] = {
  0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
  0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

int back_color, plot_color, wave_color, mark_color, cursor_color;
int active_frame_color, frame_color, range_box_color;
int title_fg, title_bg, title_hi_fg, title_hi_bg;
int prompt_fg, prompt_bg, status_fg, hint_fg, box_fg, box_bg;
int meter_left, meter_right, meter_top, meter_bottom;

static int surface_ready;     // back buffer and font exist
static int font_height;       // glyph mask height
// Rectangles waiting for repaint.  A few are kept apart, so that a prompt
// at the bottom and a window band at the top are copied as two strips
// rather than as the whole screen between them.
enum { MAX_DIRTY = 6 };
struct dirty_rect { int x0, y0, x1, y1; };
static dirty_rect dirty_rects[MAX_DIRTY];
static int dirty;             // how many wait

// While presents are held, polling brings the screen up to date at most
// every HELD_PAINT_MS, and lines wait for the repaint like everything else;
// waiting for a key always shows the screen as it is.
enum { HELD_PAINT_MS = 40 };
static int presents_held;
static std::chrono::steady_clock::time_point last_paint;

// The one saved rectangle.
static uint32_t *saved_pixels;
static int saved_w, saved_h;

// Exclusive-or overlays: where each was drawn and whether it is on screen.
static int tc_shown, tc_x, tc_y, tc_height, tc_color = 7;
static int rb_shown, rb_x0, rb_y0, rb_x1, rb_y1, rb_color;

static uint32_t color_of(int c) { return palette[c & 15]; }

static long long area(int x0, int y0, int x1, int y1)
{
  return (long long)(x1 - x0 + 1) * (y1 - y0 + 1);
}

// The bounding box of a and b, into a.
static void merge_into(dirty_rect *a, const dirty_rect &b)
{
  a->x0 = std::min(a->x0, b.x0); a->y0 = std::min(a->y0, b.y0);
  a->x1 = std::max(a->x1, b.x1); a->y1 = std::max(a->y1, b.y1);
}

// Whether the bounding box of a and b costs little more than a and b apart
// (they overlap, touch or nearly so).
static bool worth_merging(const dirty_rect &a, const dirty_rect &b)
{
  dirty_rect u = a;
  merge_into(&u, b);
  return area(u.x0, u.y0, u.x1, u.y1) <= area(a.x0, a.y0, a.x1, a.y1) + area(b.x0, b.y0, b.x1, b.y1) + 4096;
}

void invalidate_rect(int x0, int y0, int x1, int y1)
{
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  x0 = std::max(x0, 0); y0 = std::max(y0, 0);
  x1 = std::min(x1, scr_width - 1); y1 = std::min(y1, scr_height - 1);
  if (x0 > x1 || y0 > y1)
    return;
  dirty_rect r = {x0, y0, x1, y1};
  // Swallow every waiting rectangle the new one should be merged with; the
  // grown rectangle may now reach others, so look again until none does.
  for (int i = 0; i < dirty;) {
    if (worth_merging(dirty_rects[i], r)) {
      merge_into(&r, dirty_rects[i]);
      dirty_rects[i] = dirty_rects[--dirty];
      i = 0;
    } else {
      i++;
    }
  }
  if (dirty == MAX_DIRTY) {
    // No room: merge into the one whose bounding box grows least.
    int best = 0;
    long long best_growth = 0;
    for (int i = 0; i < dirty; i++) {
      dirty_rect u = dirty_rects[i];
      merge_into(&u, r);
      long long growth = area(u.x0, u.y0, u.x1, u.y1) - area(dirty_rects[i].x0, dirty_rects[i].y0,
                                                             dirty_rects[i].x1, dirty_rects[i].y1);
      if (i == 0 || growth < best_growth) {
        best = i;
        best_growth = growth;
      }
    }
    merge_into(&r, dirty_rects[best]);
    dirty_rects[best] = dirty_rects[--dirty];
  }
  dirty_rects[dirty++] = r;
}

void hold_presents(int on)
{
  presents_held = on;
  last_paint = std::chrono::steady_clock::now();
  if (!on)
    paint_dirty();
}

void present_held_rect(int x0, int y0, int x1, int y1)
{
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, scr_width - 1);
  y1 = std::min(y1, scr_height - 1);
  if (presents_held && back_buffer && x0 <= x1 && y0 <= y1)
    plat_present(back_buffer, scr_width, x0, y0, x1, y1);
}

void paint_when_due()
{
  if (presents_held) {
    auto now = std::chrono::steady_clock::now();
    if (now - last_paint < std::chrono::milliseconds(HELD_PAINT_MS))
      return;
    last_paint = now;
  }
  paint_dirty();
}

void paint_dirty()
{
  if (!dirty || !back_buffer)
    return;
  int n = dirty;
  dirty = 0;
  for (int i = 0; i < n; i++)
    plat_present(back_buffer, scr_width, dirty_rects[i].x0, dirty_rects[i].y0, dirty_rects[i].x1,
                 dirty_rects[i].y1);
}

void prepare_surface()
{
  if (!surface_ready) {
    int advance, height, ascent;
    if (!plat_font_open(&advance, &height, &ascent)) {
      fprintf(stderr, "tarvo: cannot go on without a font\n");
      exit(1);
    }
    back_buffer = (uint32_t *)malloc((size_t)scr_width * scr_height * sizeof(uint32_t)); // filled below
    if (!back_buffer) {
      fprintf(stderr, "tarvo: no memory for a %dx%d screen\n", scr_width, scr_height);
      exit(1);
    }
    char_width = advance;
    char_ascent = ascent;
    font_height = height;
    row_height = height + 2;
  }
  back_color = 0; plot_color = 1; wave_color = 15; mark_color = 14; cursor_color = 7;
  active_frame_color = 5; frame_color = 8; range_box_color = 8;
  title_fg = 14; title_bg = 1; title_hi_fg = 14; title_hi_bg = 1;
  prompt_fg = 14; prompt_bg = 0; status_fg = 6; hint_fg = 7; box_fg = 15; box_bg = 6;
  if (!surface_ready) {
    prompt_x = status_x = 0;
    text_bottom = scr_height - 3;
    graph_bottom = scr_height - 3 - row_height;
    meter_left = 300; meter_right = 400; meter_top = 20; meter_bottom = scr_height - 21;
    surface_ready = 1;
  }
  xor_mode = 0;
  no_direct = 0;
  tc_shown = 0;
  rb_shown = 0;
  fill_rect(0, 0, scr_width, scr_height, back_color);
}

void release_surface()
{
  free(back_buffer);
  back_buffer = nullptr;
  free(saved_pixels);
  saved_pixels = nullptr;
  surface_ready = 0;
  dirty = 0;
  plat_font_close();
}

void fill_rect(int x0, int y0, int x1, int y1, int color)
{
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  int cx0 = std::max(x0, 0), cy0 = std::max(y0, 0);
  int cx1 = std::min(x1, scr_width - 1), cy1 = std::min(y1, scr_height - 1);
  uint32_t rgb = color_of(color);
  if (cx0 > cx1)
    return; // wholly left or right of the screen
  for (int y = cy0; y <= cy1; y++)
    std::fill(back_buffer + (size_t)y * scr_width + cx0, back_buffer + (size_t)y * scr_width + cx1 + 1, rgb);
  invalidate_rect(x0, y0, x1, y1);
}

// Row y of vertical strokes: pixel i is set where top[i] <= y <= bottom[i],
// and to bg elsewhere unless bg is kept (keep set).  Built for AVX2 too,
// where the loop runs eight pixels at a time.
__attribute__((target_clones("avx2", "default")))
static void stroke_row(uint32_t *row, int i0, int i1, const int *top, const int *bottom, int y, uint32_t rgb,
                       uint32_t bg, int keep)
{
  if (keep)
    for (int i = i0; i < i1; i++)
      row[i] = (top[i] <= y) & (y <= bottom[i]) ? rgb : row[i];
  else
    for (int i = i0; i < i1; i++)
      row[i] = (top[i] <= y) & (y <= bottom[i]) ? rgb : bg;
}

void fill_columns(int x0, int count, const int *top, const int *bottom, int color, int bg, int y_from, int y_to)
{
  int i0 = std::max(0, -x0), i1 = std::min(count, scr_width - x0);
  int y0 = scr_height, y1 = -1;
  if (bg >= 0) {
    y0 = y_from;
    y1 = y_to;
  } else {
    for (int i = i0; i < i1; i++)
      if (top[i] <= bottom[i]) {
        y0 = std::min(y0, top[i]);
        y1 = std::max(y1, bottom[i]);
      }
  }
  y0 = std::max(y0, 0);
  y1 = std::min(y1, scr_height - 1);
  if (y0 > y1 || i0 >= i1)
    return;
  uint32_t rgb = color_of(color), fill = color_of(bg);
  for (int y = y0; y <= y1; y++)
    stroke_row(back_buffer + (size_t)y * scr_width + x0, i0, i1, top, bottom, y, rgb, fill, bg < 0);
  invalidate_rect(x0 + i0, y0, x0 + i1 - 1, y1);
}

static inline void put_pixel(int x, int y, uint32_t rgb)
{
  if (x < 0 || y < 0 || x >= scr_width || y >= scr_height)
    return;
  uint32_t *p = back_buffer + (size_t)y * scr_width + x;
  *p = xor_mode ? (*p ^ rgb) : rgb;
}

// A one-pixel line that, like the usual line primitive of window systems,
// leaves out its end point: the four sides of a frame then meet without
// drawing a corner twice, which matters in exclusive-or mode.
static void raster_line(int x0, int y0, int x1, int y1, uint32_t rgb)
{
  if (x0 == x1 && y0 == y1) {
    put_pixel(x0, y0, rgb);
    return;
  }
  if (y0 == y1 || x0 == x1) {
    // A row or a column: from the start up to the end point, left out,
    // clipped once and written directly.
    int along0 = y0 == y1 ? x0 : y0, along1 = y0 == y1 ? x1 : y1, across = y0 == y1 ? y0 : x0;
    int length = y0 == y1 ? scr_width : scr_height, breadth = y0 == y1 ? scr_height : scr_width;
    if (across < 0 || across >= breadth)
      return;
    int a = std::max(along0 < along1 ? along0 : along1 + 1, 0);
    int b = std::min(along0 < along1 ? along1 - 1 : along0, length - 1);
    size_t step = y0 == y1 ? 1 : (size_t)scr_width;
    uint32_t *p = y0 == y1 ? back_buffer + (size_t)across * scr_width : back_buffer + across;
    for (int i = a; i <= b; i++)
      p[i * step] = xor_mode ? p[i * step] ^ rgb : rgb;
    return;
  }
  int dx = abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  int dy = -abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  while (x0 != x1 || y0 != y1) {
    put_pixel(x0, y0, rgb);
    int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x0 += sx; }
    if (e2 <= dx) { err += dx; y0 += sy; }
  }
}

void draw_line(int x0, int y0, int x1, int y1, int color)
{
  raster_line(x0, y0, x1, y1, color_of(color));
  text_x = x1;
  text_y = y1;
  if (no_direct)
    return;
  if (presents_held) {
    invalidate_rect(x0, y0, x1, y1);
    return;
  }
  // The line goes straight to the screen: copy just its pixels' rectangle.
  int ax0 = std::max(std::min(x0, x1), 0), ay0 = std::max(std::min(y0, y1), 0);
  int ax1 = std::min(std::max(x0, x1), scr_width - 1), ay1 = std::min(std::max(y0, y1), scr_height - 1);
  if (ax0 <= ax1 && ay0 <= ay1)
    plat_present(back_buffer, scr_width, ax0, ay0, ax1, ay1);
}

void move_to(int x, int y)
{
  text_x = x;
  text_y = y;
}

void line_to(int x, int y, int color)
{
  int saved = no_direct;
  no_direct = 1;
  draw_line(text_x, text_y, x, y, color);
  no_direct = saved;
}

void draw_frame(int x0, int y0, int x1, int y1, int color)
{
  draw_line(x0, y0, x1, y0, color);
  draw_line(x1, y0, x1, y1, color);
  draw_line(x1, y1, x0, y1, color);
  draw_line(x0, y1, x0, y0, color);
  poll_key();
}

void set_xor(int on) { xor_mode = on ? 1 : 0; }

void set_text_colors(int fg, int bg)
{
  text_fg = fg;
  text_bg = bg < 0 ? -1 : bg;
}

// One character cell: the opaque background over the font's height, then
// the glyph's ink (exclusive-or in that mode, as a mark letter is drawn).
// The cell is clipped to the screen once, and its rows are written directly.
__attribute__((target_clones("avx2", "default")))
static void draw_char(int x, int y, unsigned char c)
{
  int top = y - char_ascent;
  int c0 = std::max(0, -x), c1 = std::min(char_width, scr_width - x);
  int r0 = std::max(0, -top), r1 = std::min(font_height, scr_height - top);
  if (c0 >= c1 || r0 >= r1)
    return;
  const uint8_t *mask = plat_glyph(c);
  uint32_t fg = color_of(text_fg);
  if (text_bg >= 0 && !xor_mode) {
    uint32_t bg = color_of(text_bg);
    for (int r = r0; r < r1; r++) {
      uint32_t *row = back_buffer + (size_t)(top + r) * scr_width + x;
      if (!mask) {
        std::fill(row + c0, row + c1, bg);
        continue;
      }
      const uint8_t *ink = mask + r * char_width;
      for (int i = c0; i < c1; i++)
        row[i] = ink[i] ? fg : bg;
    }
    return;
  }
  if (!mask)
    return;
  for (int r = r0; r < r1; r++) {
    uint32_t *row = back_buffer + (size_t)(top + r) * scr_width + x;
    const uint8_t *ink = mask + r * char_width;
    for (int i = c0; i < c1; i++)
      if (ink[i])
        row[i] = xor_mode ? row[i] ^ fg : fg;
  }
}

void draw_text(int x, int y, const char *text)
{
  int n = (int)strlen(text);
  for (int i = 0; i < n; i++)
    draw_char(x + i * char_width, y, (unsigned char)text[i]);
  if (n > 0)
    invalidate_rect(x, y - char_ascent, x + n * char_width - 1, y - char_ascent + row_height - 1);
  text_x = x + n * char_width;
  text_y = y;
}

void get_text_pos(int *x, int *y)
{
  *x = text_x;
  *y = text_y;
}

void update_text(int x, int y, const char *new_text, const char *old_text)
{
  int nn = (int)strlen(new_text), no = (int)strlen(old_text);
  int n = std::max(nn, no);
  for (int i = 0; i < n; i++) {
    char c = i < nn ? new_text[i] : ' ';
    char o = i < no ? old_text[i] : ' ';
    if (c != o) {
      char one[2] = {c, 0};
      draw_text(x + i * char_width, y, one);
    }
  }
}

void erase_cells(int x, int y, int n)
{
  if (n < 1)
    return;
  fill_rect(x, y - char_ascent, x + n * char_width - 1, y - char_ascent + row_height - 1,
            text_bg < 0 ? back_color : text_bg);
}

void draw_text_cursor(int x, int y)
{
  int uy = y + row_height - char_ascent - 1;
  draw_line(x, uy, x + char_width, uy, text_fg);
}

int save_rect(int x0, int y0, int x1, int y1)
{
  if (saved_pixels)
    return -1;
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  saved_w = x1 - x0 + 1;
  saved_h = y1 - y0 + 1;
  saved_pixels = (uint32_t *)malloc((size_t)saved_w * saved_h * sizeof(uint32_t));
  if (!saved_pixels)
    return -1;
  for (int r = 0; r < saved_h; r++)
    for (int i = 0; i < saved_w; i++) {
      int x = x0 + i, y = y0 + r;
      bool inside = x >= 0 && y >= 0 && x < scr_width && y < scr_height;
      saved_pixels[(size_t)r * saved_w + i] = inside ? back_buffer[(size_t)y * scr_width + x] : 0;
    }
  return 0;
}

void restore_rect(int handle, int x, int y)
{
  if (handle != 0 || !saved_pixels)
    return;
  for (int r = 0; r < saved_h; r++)
    for (int i = 0; i < saved_w; i++) {
      int px = x + i, py = y + r;
      if (px >= 0 && py >= 0 && px < scr_width && py < scr_height)
        back_buffer[(size_t)py * scr_width + px] = saved_pixels[(size_t)r * saved_w + i];
    }
  invalidate_rect(x, y, x + saved_w - 1, y + saved_h - 1);
  free(saved_pixels);
  saved_pixels = nullptr;
}

void scroll_band(int y0, int y1, int n)
{
  if (n == 0)
    return;
  if (y0 > y1) std::swap(y0, y1);
  y0 = std::max(y0, 0);
  y1 = std::min(y1, scr_height - 1);
  int shift = n * 8;
  if (abs(shift) >= scr_width) {
    invalidate_rect(0, y0, scr_width - 1, y1);
    return;
  }
  for (int y = y0; y <= y1; y++) {
    uint32_t *row = back_buffer + (size_t)y * scr_width;
    if (shift > 0)
      memmove(row + shift, row, (size_t)(scr_width - shift) * sizeof(uint32_t));
    else
      memmove(row, row - shift, (size_t)(scr_width + shift) * sizeof(uint32_t));
  }
  invalidate_rect(0, y0, scr_width - 1, y1);
}

// ---- Exclusive-or overlays -----------------------------------------------

static void xor_line(int x0, int y0, int x1, int y1, int color)
{
  int saved = xor_mode;
  xor_mode = 1;
  draw_line(x0, y0, x1, y1, color);
  xor_mode = saved;
}

void set_cursor_shape(int height, int color)
{
  hide_time_cursor();
  tc_height = height;
  tc_color = color;
}

void show_time_cursor(int x, int y)
{
  hide_time_cursor();
  xor_line(x, y, x, y + tc_height, tc_color);
  tc_x = x;
  tc_y = y;
  tc_shown = 1;
}

void hide_time_cursor()
{
  if (!tc_shown)
    return;
  xor_line(tc_x, tc_y, tc_x, tc_y + tc_height, tc_color);
  tc_shown = 0;
}

static void xor_box(int x0, int y0, int x1, int y1, int color)
{
  xor_line(x0, y0, x1, y0, color);
  xor_line(x1, y0, x1, y1, color);
  xor_line(x1, y1, x0, y1, color);
  xor_line(x0, y1, x0, y0, color);
}

void show_range_box(int x0, int y0, int x1, int y1, int color)
{
  hide_range_box();
  xor_box(x0, y0, x1, y1, color);
  rb_x0 = x0; rb_y0 = y0; rb_x1 = x1; rb_y1 = y1; rb_color = color;
  rb_shown = 1;
}

void hide_range_box()
{
  if (!rb_shown)
    return;
  xor_box(rb_x0, rb_y0, rb_x1, rb_y1, rb_color);
  rb_shown = 0;
}

void draw_mark(int x, int y, int letter)
{
  if (x < 0 || x >= scr_width || y < 0 || y >= scr_height || letter < 0 || letter >= 26)
    return;
  int was_shown = tc_shown;
  hide_time_cursor();
  xor_line(x, y, x, y + 8, mark_color);
  int saved_fg = text_fg, saved_bg = text_bg, saved_x = text_x, saved_y = text_y;
  set_text_colors(mark_color, -1);
  char one[2] = {(char)('A' + letter), 0};
  xor_mode = 1;
  draw_text(x - 3, y + 18, one);
  xor_mode = 0;
  set_text_colors(saved_fg, saved_bg);
  text_x = saved_x;
  text_y = saved_y;
  if (was_shown)
    show_time_cursor(tc_x, tc_y);
}
