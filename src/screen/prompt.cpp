// The prompt line (menus, prompts, messages) and the status line (cursor
// readouts), the one-line editor and yes/no questions.
#include "screen/platform.h"
#include "screen/screen.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

char prompt_cache[LINE_LEN];
char status_cache[LINE_LEN];

static FILE *transcript_file;
static int transcript_tried;

void transcript(char tag, const char *text)
{
  if (!transcript_tried) {
    transcript_tried = 1;
    const char *name = getenv("TARVO_TRANSCRIPT");
    char path[PLAT_PATH_LEN];
    if (name && *name && plat_start_path(path, name))
      transcript_file = fopen(path, "a");
  }
  if (!transcript_file)
    return;
  fprintf(transcript_file, "%c:%s\n", tag, text);
  fflush(transcript_file);
}

static void copy_line(char *dst, const char *src)
{
  snprintf(dst, LINE_LEN, "%s", src);
}

void fit_name(char *text, const char *format, const char *name)
{
  int cols = char_width > 0 ? (scr_width - prompt_x) / char_width : LINE_LEN - 1;
  if (cols > LINE_LEN - 1)
    cols = LINE_LEN - 1;
  const char *at = strstr(format, "%s");
  int fixed = (int)strlen(format) - (at ? 2 : 0);
  int room = cols - fixed;
  int len = (int)strlen(name);
  char shown[LINE_LEN];
  if (len <= room || room < 5) {
    snprintf(shown, sizeof shown, "%s", len <= room ? name : "...");
  } else {
    int head = (room - 3) / 2, tail = room - 3 - head;
    snprintf(shown, sizeof shown, "%.*s...%s", head, name, name + len - tail);
  }
  if (!at) {
    snprintf(text, LINE_LEN, "%s", format);
    return;
  }
  char whole[3 * LINE_LEN];
  snprintf(whole, sizeof whole, "%.*s%s%s", (int)(at - format), format, shown, at + 2);
  size_t n = strnlen(whole, LINE_LEN - 1);
  memcpy(text, whole, n);
  text[n] = 0;
}

void show_prompt(const char *text)
{
  if (strncmp(text, prompt_cache, LINE_LEN - 1) == 0 && strlen(text) < LINE_LEN)
    return;
  int cells = (int)std::max(strlen(text), strlen(prompt_cache)); // what the line changes
  if (prompt_cache[0])
    clear_prompt();
  set_text_colors(prompt_fg, prompt_bg);
  draw_text(prompt_x, graph_bottom, text);
  present_held_rect(prompt_x, graph_bottom - char_ascent, prompt_x + cells * char_width - 1,
                    graph_bottom - char_ascent + row_height);
  transcript('P', text);
  copy_line(prompt_cache, text);
  poll_key();
}

void clear_prompt()
{
  fill_rect(0, graph_bottom - char_ascent, scr_width, graph_bottom - char_ascent + row_height, prompt_bg);
  prompt_cache[0] = 0;
}

void show_error(const char *text)
{
  clear_prompt();
  show_prompt(text);
  wait_key();
  clear_prompt();
}

void show_status(const char *text)
{
  if (strncmp(text, status_cache, LINE_LEN - 1) == 0 && strlen(text) < LINE_LEN)
    return;
  set_text_colors(status_fg, prompt_bg);
  update_text(status_x, text_bottom, text, status_cache);
  transcript('S', text);
  copy_line(status_cache, text);
}

void clear_status()
{
  fill_rect(0, text_bottom - char_ascent, scr_width, text_bottom - char_ascent + row_height, prompt_bg);
  status_cache[0] = 0;
}

void prompt_input(const char *prompt, char *buffer, int maxlen)
{
  show_prompt(prompt);
  if (buffer && maxlen > 0)
    buffer[0] = 0;
  int key = edit_line(buffer, maxlen);
  if (key == KEY_LBUTTON && buffer && maxlen > 0)
    buffer[0] = 0;
  clear_prompt();
}

int edit_line(char *buffer, int maxlen) { return edit_field(buffer, maxlen, maxlen); }

int edit_field(char *buffer, int maxlen, int cells)
{
  if (!buffer || maxlen < 1)
    return 0;
  int x0, y0;
  get_text_pos(&x0, &y0);
  int len = (int)strnlen(buffer, maxlen - 1);
  buffer[len] = 0;
  int pos = len;
  int first = 0; // first character shown
  int drawn = 0; // cells drawn last time
  if (cells < 1)
    cells = 1;
  for (;;) {
    // Scroll just far enough that the cursor cell is shown.
    if (pos < first)
      first = pos;
    if (pos - first >= cells)
      first = pos - cells + 1;
    erase_cells(x0, y0, drawn);
    drawn = std::min(len - first, cells);
    char cut = buffer[first + drawn]; // the text is ended at the last cell for drawing
    buffer[first + drawn] = 0;
    draw_text(x0, y0, buffer + first);
    buffer[first + drawn] = cut;
    int at = x0 + (pos - first) * char_width;
    if (pos < maxlen - 1)
      draw_text_cursor(at, y0);
    int key = wait_key();
    erase_cells(at, y0, 1);
    switch (key) {
    case KEY_ESC:
      buffer[0] = 0;
      return KEY_ESC;
    case KEY_ENTER: case 10: case KEY_RBUTTON:
      return KEY_ENTER;
    case KEY_LBUTTON:
      return KEY_LBUTTON;
    case 1: case KEY_HOME:
      pos = 0;
      break;
    case 5: case KEY_END:
      pos = len;
      break;
    case 2: case KEY_LEFT:
      if (pos > 0) pos--;
      break;
    case 6: case KEY_RIGHT:
      if (pos < len) pos++;
      break;
    case 8: case 127:
      if (pos >= 1 && pos <= len) {
        memmove(buffer + pos - 1, buffer + pos, (size_t)(len - pos + 1));
        len--;
        pos--;
      }
      break;
    case 4: case KEY_DEL:
      if (pos < len) {
        memmove(buffer + pos, buffer + pos + 1, (size_t)(len - pos));
        len--;
      }
      break;
    case 11:
      len = pos;
      buffer[len] = 0;
      break;
    case 21:
      memmove(buffer, buffer + pos, (size_t)(len - pos + 1));
      len -= pos;
      pos = 0;
      break;
    default:
      if (key >= 32 && key <= 126) {
        if (len < maxlen - 1) {
          memmove(buffer + pos + 1, buffer + pos, (size_t)(len - pos + 1));
          buffer[pos] = (char)key;
          len++;
        }
        if (pos < len) pos++;
        break;
      }
      return key;
    }
  }
}

bool ask_yes()
{
  int key = wait_key();
  return key == 'y' || key == 'Y' || key == KEY_RBUTTON;
}
