// Start-up, the main loop and shutdown.
#include "analysis/analysis.h"
#include "audio/audio.h"
#include "audio/device.h"
#include "core/core.h"
#include "core/state.h"
#include "display/display.h"
#include "edit/edit.h"
#include "files/files.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <cstdio>
#include <cstring>

static const char *const top_menu[] = {
  "File", "Edit", "Modify", "Trans", "Calc", "Input", "Play", "View", "Window", "Set", "Help", "",
};

// The type each kept name's probe found, so that its load need not probe again.
static int file_types[MAX_FILES];

// The folder an absolute name made current last, while the start's names
// are checked and loaded ("" when another folder may be current).
static char entered[FILE_NAME_LEN];

// Reduces a command-line name to its base name in the folder it names, as
// taken from the start folder (not from the folder an earlier name made
// current).  An absolute name whose folder becomes current needs no visit
// to the start folder first, and none at all when that folder is current
// already (names of one folder, checked and then loaded).
static void enter_start_name(char *base, const char *name)
{
  int absolute = name[0] == '/', folder = path_folder_length(name);
  if (absolute && folder > 0 && (int)strlen(entered) == folder && strncmp(entered, name, folder) == 0) {
    snprintf(base, FILE_NAME_LEN, "%s", name + folder);
    return;
  }
  entered[0] = 0;
  if (!absolute)
    change_dir(plat_start_dir());
  int moved = split_path(base, name);
  if (absolute && moved <= 0)
    change_dir(plat_start_dir());
  if (absolute && moved > 0)
    snprintf(entered, sizeof entered, "%.*s", folder, name);
}

void check_file_names()
{
  char base[FILE_NAME_LEN];
  entered[0] = 0;
  for (int i = 0; i < num_files;) {
    enter_start_name(base, file_names[i]);
    file_types[i] = detect_file_type(base);
    if (file_types[i] >= 0) {
      i++;
      continue;
    }
    for (int k = i; k + 1 < num_files; k++)
      memcpy(file_names[k], file_names[k + 1], FILE_NAME_LEN);
    num_files--;
  }
}

void load_start_files()
{
  last_vis = first_vis;
  if (num_files == 0) {
    redraw_current();
    info_enabled = 1;
    return;
  }
  int n = num_files < 1 ? 1 : num_files > MAX_FILES ? MAX_FILES : num_files;
  last_vis = first_vis + n - 1;
  info_enabled = 0;
  // The files fill one first screen, drawn once after the last load;
  // meanwhile only the loading messages show, and only when loading takes
  // long enough to be seen.
  hold_presents(1);
  loads_drawn_later = 1;
  char base[FILE_NAME_LEN];
  for (int i = 0; i < n; i++) {
    make_current(first_vis + i);
    enter_start_name(base, file_names[i]); // as check_file_names found it
    load_probed_file(base, file_types[i]);
  }
  loads_drawn_later = 0;
  make_current(first_vis);
  redraw_all();
  end_trace_gather(-1);
  hold_presents(0);
  info_enabled = 1;
}

void main_step()
{
  int range = shown_end - shown_start;
  int step = range >= scr_width ? range / scr_width : 1;
  int before = cursor;

  int key = menu_select("Tarvo", top_menu);
  switch (key) {
  case KEY_CTRL_C: quit_flag = 1; return;
  case KEY_TAB: next_window(); break;
  case KEY_SHIFT_TAB: previous_window(); break;
  case KEY_UP: select_window_above(); break;
  case KEY_DOWN: window_down(); break;
  case 10: case ' ': clear_prompt(); break;
  case 12: redraw_screen(); break;
  case KEY_ESC: break;
  case KEY_LEFT: move_cursor(-step); break;
  case KEY_RIGHT: move_cursor(step); break;
  case KEY_SHIFT_LEFT: move_cursor(-10 * step); break;
  case KEY_SHIFT_RIGHT: move_cursor(10 * step); break;
  case KEY_CTRL_LEFT: move_cursor(-50 * step); break;
  case KEY_CTRL_RIGHT: move_cursor(50 * step); break;
  case KEY_HOME: set_cursor(shown_start); break;
  case KEY_END: set_cursor(shown_end); break;
  case KEY_CTRL_HOME: goto_position(windows[cur_win].marks[MARK_HOME]); break;
  case KEY_CTRL_END: goto_position(windows[cur_win].marks[MARK_END]); break;
  case 'H': case KEY_F1: show_help(); break;
  case KEY_F2: show_signal_info(cur_win); break;
  case KEY_F3: toggle_range_box(); break;
  case KEY_F6: toggle_split_channels(); break;
  case '~': case KEY_F5: enter_scroll(); break;
  case KEY_INS: insert_mark(); break;
  case KEY_DEL: delete_mark(); break;
  case '0': new_mark(); break;
  case 'G': goto_mark(); break;
  case 'F': file_menu(); break;
  case 'E': edit_menu(); break;
  case 'M': modify_menu(); break;
  case KEY_RBUTTON: right_click(); break;
  case KEY_LBUTTON: left_click(); break;
  case '+': zoom_in(); break;
  case '-': zoom_out(); break;
  case KEY_PGUP: pan_left(); break;
  case KEY_PGDN: pan_right(); break;
  case KEY_F4: toggle_maximize(); break;
  case 'V': view_menu(); break;
  case 'W': window_menu(); break;
  case 'T': trans_menu(); break;
  case KEY_ENTER: case '"': replay(); break;
  case 'P': play_signal(1); break;
  case 'I': input_menu(); break;
  case 'C': calc_menu(); break;
  case 'S': set_menu(); break;
  default: return;
  }
  if (quit_flag || cursor == before)
    return;
  goto_position(cursor);
  draw_range_box(cur_win);
}

void shutdown()
{
  close_devices();
  plat_close();
  free_all_samples();
}

int program_main(int argc, char **argv)
{
  plat_note_start_dir(); // before any file name changes the working directory
  parse_options(argc, argv);
  check_file_names();
  // The window is made only once the options are read, so that the usage
  // text and -H work without a display.
  if (!plat_open("Tarvo", &scr_width, &scr_height))
    return 1;
  prepare_surface();
  init_windows();
  load_start_files();
  while (!quit_flag)
    main_step();
  shutdown();
  return 0;
}
