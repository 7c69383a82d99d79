// Play: a segment of the current window sent to the output device at the
// window's playback rate, asked for or the one played last.
#include "audio/audio.h"
#include "audio/device.h"
#include "core/state.h"
#include "display/display.h"
#include "edit/edit.h"
#include "files/files.h"
#include "screen/screen.h"
#include <cstdio>
#include <cstring>

int play_from[NUM_WINDOWS];
int play_to[NUM_WINDOWS];
static int first_play = 1; // the first Play forgets every window's segment

void play_range(int from, int to)
{
  const signal_window *sw = &windows[cur_win];
  // The first value of a frame is at from * channels: a stereo segment that
  // starts at an odd frame plays with its channels in order.
  wave_out_play(sw->samples + (size_t)from * sw->channels, to - from, sw->channels, sw->dac_rate);
}

// The segment to play: asked for, or the last one while its marks still
// stand, or the whole signal.  0 when the question was left unanswered.
static int choose_segment(int ask)
{
  if (ask) {
    if (!ask_segment(" PLAY:")) {
      clear_prompt();
      return 0;
    }
    play_from[cur_win] = seg_from;
    play_to[cur_win] = seg_to;
    return 1;
  }
  if (play_from[cur_win] < 0 || play_to[cur_win] < 0 || slot_position(cur_win, play_from[cur_win]) < 0 ||
      slot_position(cur_win, play_to[cur_win]) < 0) {
    play_from[cur_win] = MARK_HOME;
    play_to[cur_win] = MARK_END;
  }
  return 1;
}

void play_signal(int ask)
{
  signal_window *sw = &windows[cur_win];
  if (sw->num_samples <= 0 || !sw->samples)
    return;
  if (first_play) {
    for (int w = 0; w < NUM_WINDOWS; w++)
      play_from[w] = play_to[w] = -1;
    first_play = 0;
  }
  if (!choose_segment(ask))
    return;
  char from_name[16], to_name[16]; // "[select1]" and the other reference names whole
  snprintf(from_name, sizeof from_name, "%s", mark_name(play_from[cur_win]));
  snprintf(to_name, sizeof to_name, "%s", mark_name(play_to[cur_win]));
  if (dev_id < 0 || dev_ready != dev_id) {
    int code = init_iod();
    if (code) {
      report_io_error("init_iod", code);
      return;
    }
    dev_ready = dev_id;
  }
  if ((sw->adc_bits != dev_bits || sw->zero_level != dev_zero) &&
      reformat_signal(cur_win, dev_bits, dev_zero, 1) && !scroll_mode)
    redraw_current();
  char text[LINE_LEN];
  snprintf(text, sizeof text, " Playing from %s to %s ", from_name, to_name);
  clear_prompt();
  show_prompt(text);
  int a = slot_position(cur_win, play_from[cur_win]), b = slot_position(cur_win, play_to[cur_win]);
  if (a >= 0 && b >= 0)
    play_range(a < b ? a : b, a < b ? b : a);
  clear_prompt();
}

void replay()
{
  order_segment();
  play_signal(0);
}
