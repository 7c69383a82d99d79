// One-line menus on the prompt line: a title and items, each selected by
// its one capital letter or digit, typed or clicked.
#include "screen/screen.h"
#include <cctype>
#include <cstdio>
#include <cstring>

enum { MENU_LEN = 80, MAX_ITEMS = 20 };

int scroll_mode;

static int hot_key(const char *item)
{
  for (const char *p = item; *p; p++)
    if ((*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9'))
      return (unsigned char)*p;
  return 0;
}

int menu_select(const char *title, const char *const *items)
{
  char text[MENU_LEN + 1];
  int x_from[MAX_ITEMS], x_to[MAX_ITEMS], keys[MAX_ITEMS];
  int shown = 0;
  snprintf(text, sizeof text, " %s: ", title);
  for (int i = 0; items[i][0] && shown < MAX_ITEMS; i++) {
    int before = (int)strlen(text);
    int len = (int)strlen(items[i]);
    if (before + len > MENU_LEN)
      break;
    snprintf(text + before, sizeof text - before, " %s ", items[i]);
    // Click ranges assume 8-pixel characters, whatever the font.
    x_from[shown] = 8 * before + 8;
    x_to[shown] = 8 * (before + len) + 8;
    keys[shown] = hot_key(items[i]);
    shown++;
  }
  if (poll_key() == 0) {
    show_prompt(text);
    draw_key_hints();
  }
  int key = wait_key();
  if (key == KEY_LBUTTON) {
    int x, y;
    get_mouse(&x, &y);
    if (y >= graph_bottom - 8 && y <= graph_bottom)
      for (int i = 0; i < shown; i++)
        if (x >= x_from[i] && x <= x_to[i])
          return keys[i];
  }
  if (key & 0xFF00)
    return key;
  return toupper(key);
}

void draw_key_hints()
{
  set_text_colors(hint_fg, prompt_bg);
  draw_text(scr_width - 13 * char_width, text_bottom, scroll_mode ? "     < > \" ~ " : " + - < > \" ~ ");
}
