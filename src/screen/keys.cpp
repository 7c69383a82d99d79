// The key queue: platform events become PC-keyboard key codes in a one-key
// slot, read by wait_key and poll_key, which pump events as they wait.
#include "screen/platform.h"
#include "screen/screen.h"

int key_slot;
int ctrl_down;
int shift_down;
int mouse_x, mouse_y;
int quit_flag;

// Key-down of a cursor or function key: its code, or 0 for keys that only
// type a character (or nothing).
static int mapped_key(int key)
{
  switch (key) {
  case PK_F1: case PK_F2: case PK_F3: case PK_F4:
  case PK_F5: case PK_F6: case PK_F7: case PK_F8:
    return KEY_F1 + (key - PK_F1);
  case PK_RIGHT: return ctrl_down ? KEY_CTRL_RIGHT : shift_down ? KEY_SHIFT_RIGHT : KEY_RIGHT;
  case PK_LEFT: return ctrl_down ? KEY_CTRL_LEFT : shift_down ? KEY_SHIFT_LEFT : KEY_LEFT;
  case PK_UP: return KEY_UP;
  case PK_DOWN: return KEY_DOWN;
  case PK_INSERT: return KEY_INS;
  case PK_DELETE: return KEY_DEL;
  case PK_HOME: return ctrl_down ? KEY_CTRL_HOME : KEY_HOME;
  case PK_END: return ctrl_down ? KEY_CTRL_END : KEY_END;
  case PK_PGUP: return KEY_PGUP;
  case PK_PGDN: return KEY_PGDN;
  default: return 0;
  }
}

void window_proc(const platform_event *ev)
{
  switch (ev->type) {
  case EV_KEYDOWN: {
    if (ev->key == PK_CTRL) ctrl_down = 1;
    if (ev->key == PK_SHIFT) shift_down = 1;
    int code = mapped_key(ev->key);
    if (code)
      key_slot = code;
    break;
  }
  case EV_KEYUP:
    if (ev->key == PK_CTRL) ctrl_down = 0;
    if (ev->key == PK_SHIFT) shift_down = 0;
    break;
  case EV_CHAR:
    key_slot = ev->ch & 0xFF;
    if (key_slot == KEY_CTRL_C)
      quit_flag = 1;
    if (key_slot == KEY_TAB && shift_down)
      key_slot = KEY_SHIFT_TAB;
    break;
  case EV_MOUSEMOVE:
    key_slot = KEY_MOUSE_MOVE;
    mouse_x = ev->x & 0xFFFF;
    mouse_y = ev->y & 0xFFFF;
    break;
  case EV_LBUTTON:
    key_slot = KEY_LBUTTON;
    break;
  case EV_RBUTTON:
    key_slot = KEY_RBUTTON;
    break;
  case EV_EXPOSE:
    invalidate_rect(0, 0, scr_width - 1, scr_height - 1);
    paint_dirty();
    break;
  case EV_CLOSE:
    // Closing the window ends the run as Ctrl-C does.
    key_slot = KEY_CTRL_C;
    quit_flag = 1;
    break;
  }
}

// Takes one event (blocking when wait is set) and runs it through
// window_proc; a mouse move never stays in the slot.
static int pump_message(int wait)
{
  platform_event ev;
  if (!plat_next_event(&ev, wait))
    return 0;
  window_proc(&ev);
  if (key_slot == KEY_MOUSE_MOVE)
    key_slot = 0;
  return 1;
}

int wait_key()
{
  paint_dirty();
  while (key_slot == 0)
    pump_message(1);
  int key = key_slot;
  key_slot = 0;
  return key;
}

int poll_key()
{
  paint_when_due();
  if (key_slot)
    return key_slot;
  pump_message(0);
  return key_slot;
}

int peek_key() { return key_slot; }

int wait_key_pending()
{
  int key;
  while ((key = poll_key()) == 0)
    plat_wait(10);
  return key;
}

void get_mouse(int *x, int *y)
{
  *x = mouse_x;
  *y = mouse_y;
}

void wait_timer(int count, int rate)
{
  if (rate <= 0)
    return;
  int ms = (int)(count * 1000.0 / rate);
  if (ms < 1)
    return;
  plat_wait(ms);
}

void stop_timer() {}
