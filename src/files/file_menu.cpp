// The File menu: load, reload, custom load (the headerless layout
// questions), save, save as another type, and exit.
#include "core/state.h"
#include "edit/edit.h"
#include "files/files.h"
#include "screen/screen.h"
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

// A size answer: a decimal number from 0 up; anything else is 0.
static int read_size(const char *text)
{
  errno = 0;
  char *end;
  long v = strtol(text, &end, 10);
  if (end == text || errno == ERANGE || v < 0 || v > INT_MAX)
    return 0;
  return (int)v;
}

static void ask_size(const char *format, int *value)
{
  char prompt[LINE_LEN], answer[LINE_LEN + 1];
  snprintf(prompt, sizeof prompt, format, (long)*value);
  prompt_input(prompt, answer, sizeof answer);
  *value = read_size(answer);
}

static void ask_swap()
{
  show_prompt(" Swap bytes (y/N) ? ");
  raw_swap = ask_yes() ? 1 : 0;
}

void custom_load_setup()
{
  static const char *const sizes[] = {"1", "2", "4", "8", ""};
  static const char *const types[] = {"0-unsigned", "1-signed", "2-mulaw", ""};
  ask_size(" File Header size [%ld bytes] ?  ", &raw_header);
  ask_size(" File Trailer size [%ld bytes] ?  ", &raw_trailer);
  char title[LINE_LEN];
  int code = raw_code >= 0 && raw_code < NUM_SAMPLE_CODES ? raw_code : SC_S16;
  snprintf(title, sizeof title, "Bytes per sample [%d]", sample_sizes[code]);
  switch (menu_select(title, sizes)) {
  case '1':
    snprintf(title, sizeof title, "Data type [%d]", raw_code);
    switch (menu_select(title, types)) {
    case '0': raw_code = SC_U8; raw_swap = 0; break;
    case '1': raw_code = SC_S8; raw_swap = 0; break;
    case '2': raw_code = SC_MULAW; ask_swap(); break;
    default: raw_swap = 0; break;
    }
    break;
  case '2':
    raw_code = SC_S16;
    ask_swap();
    break;
  case '4':
    show_prompt(" Floating-point data (y/N) ? ");
    raw_code = ask_yes() ? SC_FLOAT : SC_S32;
    ask_swap();
    break;
  case '8':
    raw_code = SC_DOUBLE;
    ask_swap();
    break;
  default:
    raw_code = SC_S16;
    raw_swap = 0;
    break;
  }
}

void choose_save_type()
{
  static const char *const items[] = {"ADF", "C", "ILS", "LST", "PLT", "SND", "MAT", "WAV", "NOH", ""};
  switch (menu_select("SAVE FILE TYPE", items)) {
  case 'A': cur_file_type = FT_ADF; break;
  case 'C': cur_file_type = FT_C; break;
  case 'I': cur_file_type = FT_ILS; break;
  case 'L': cur_file_type = FT_LST; break;
  case 'P': cur_file_type = FT_PLT; break;
  case 'S': cur_file_type = FT_SND; break;
  case 'M': cur_file_type = FT_MAT; break;
  case 'W': cur_file_type = FT_WAV; break;
  case 'N': cur_file_type = FT_NOH; break;
  }
}

void file_save()
{
  if (windows[cur_win].num_samples == 0)
    return;
  if (ask_segment(" FILE SAVE:"))
    save_file(windows[cur_win].marks[seg_from], windows[cur_win].marks[seg_to]);
}

static void ask_exit()
{
  show_prompt(" Are you sure you want to EXIT? (y/N) ");
  if (ask_yes())
    quit_flag = 1;
  else
    clear_prompt();
}

void file_menu()
{
  static const char *const items[] = {"Load", "Reload", "Custom_load", "Save", "save_As", "eXit", ""};
  switch (menu_select("FILE", items)) {
  case 'L': load_file("", 0); break;
  case 'R': reload_window(); break;
  case 'C': custom_load_setup(); load_file("", 1); break;
  case 'S': file_save(); break;
  case 'A': choose_save_type(); file_save(); break;
  case 'X': ask_exit(); break;
  }
  clear_prompt();
}
