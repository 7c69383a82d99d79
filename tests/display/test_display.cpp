// Window bands, traces, titles, the cursor and its readouts.
#include "support/support.h"

struct Display : ScreenTest {};

// Values of a frame and channel.
static int dip(int i, int) { return i == 5000 ? -123 : 7; }
static int peak(int i, int) { return i == 128 ? 32767 : 0; }

struct trace_case { int n, stride, width, height, levels, zero, amplitude; };

// The band as the drawing rules make it, from the values alone: `zero` at yc,
// larger values higher, limited to the band; one stroke a column, covering the
// values of the column before it and the first value of its own.
static std::vector<uint32_t> reference(const int16_t *v, const trace_case &t, int x0, int yc, int left, int top, int w)
{
  std::vector<uint32_t> img((size_t)w * (t.height + 2), palette[1]);
  auto row = [&](int x) {
    long long L = t.levels - 1, H = t.height - 1, y = yc + (H * t.zero) / L - (x * H) / L;
    return (int)std::clamp<long long>(y, yc - t.height / 2, yc + t.height / 2);
  };
  auto column = [&](long long i) { return (int)(i * t.width / t.n); };
  auto stroke = [&](int col, int lo, int hi) {
    for (int y = row(hi); y <= row(lo); y++)
      img[(size_t)(y - top) * w + (x0 + col - left)] = palette[15];
  };
  int lo = v[0], hi = v[0], began = column(0);
  for (int i = 1; i < t.n; i++) {
    int x = v[(size_t)i * t.stride];
    lo = std::min(lo, x), hi = std::max(hi, x);
    if (column(i) != began) {
      stroke(column(i), lo, hi);
      lo = hi = x;
      began = column(i);
    }
  }
  stroke(column(t.n - 1), lo, hi);
  return img;
}

TEST_F(Display, TracesBandsGotoCursorsReadoutsAndTitlesAsShown)
{
  trace_case cases[] = {
      {1000, 1, 100, 101, 65536, 0, 32767},      // ten values a column
      {200, 1, 100, 101, 65536, 0, 30000},       // two values a column: strokes already
      {1049, 1, 97, 81, 65536, 0, 20000},        // uneven values per column
      {1048576, 1, 794, 90, 65536, 0, 32767},    // a long trace
      {3000, 2, 150, 61, 65536, 0, 30000},       // second of two interleaved channels
      {640, 1, 64, 41, 256, 128, 200},           // eight bits around their zero, beyond the band
  };
  // Mono traces are drawn a second time from extremes gathered as a loader
  // would hand the values over, in pieces that split columns anywhere.
  for (int gathered = 0; gathered < 2; gathered++)
    for (const trace_case &t : cases) {
      if (gathered && t.stride != 1)
        continue;
      std::vector<int16_t> v((size_t)t.n * t.stride);
      for (uint32_t s = 2024; auto &x : v)
        s = s * 1664525u + 1013904223u, x = (int16_t)((int)(s >> 16) % (2 * t.amplitude + 1) - t.amplitude + t.zero);
      const int16_t *first = v.data() + t.stride - 1;
      std::vector<int16_t> decoy(v.size(), (int16_t)t.zero); // another window's values of the same length
      if (gathered) {
        begin_trace_gather(0, decoy.data(), t.n, t.width);
        gather_trace_values(0, decoy.data(), t.n);
        begin_trace_gather(1, first, t.n, t.width);
        for (long long at = 0, piece = 1; at < t.n; at += piece, piece = piece * 7 % 4099 + 1)
          gather_trace_values(1, first + at, std::min<long long>(piece, t.n - at));
      }
      int x0 = 3, yc = 200, left = x0 - 1, top = yc - t.height / 2 - 1, w = t.width + 2;
      fill_rect(left, top, left + w - 1, top + t.height + 1, 1);
      plot_trace(first, t.n, t.stride, t.width, t.height, x0, yc, t.levels, t.zero, 15);
      std::vector<uint32_t> got;
      for (int y = top; y < top + t.height + 2; y++)
        got.insert(got.end(), back_buffer + y * scr_width + left, back_buffer + y * scr_width + left + w);
      EXPECT_TRUE(got == reference(first, t, x0, yc, left, top, w))
          << "pixels off the reference, n=" << t.n << " width " << t.width << (gathered ? " gathered" : "");
    }
  // Few values are placed by signed and unsigned scales and joined by lines.
  fill_rect(0, 0, 799, 599, 0);
  for (int16_t v : {0, 32767, -32768})
    plot_trace(&v, 1, 1, 100, 101, 50, 300, 65536, 0, 15);
  expect_pixels({{50, 300, 15}, {50, 300 - 49, 15}, {50, 300 + 50, 15}});
  int16_t zigzag[150];
  std::generate(zigzag, zigzag + 150, [i = 0]() mutable { return (int16_t)(i++ % 2 ? 20000 : -20000); });
  plot_trace(zigzag, 150, 1, 100, 101, 100, 300, 65536, 0, 15);
  // Zig-zag lines cross the centre row in every column they span.
  EXPECT_GE(std::count(back_buffer + 300 * scr_width + 100, back_buffer + 300 * scr_width + 200, palette[15]), 95);
  EXPECT_EQ(px(100, 300 + 30), palette[15]); // the first point, below the centre
  last_vis = 1;
  fill_window(1, std::vector<int>(200, 0), 2);
  window_views[1].split_channels = 1;
  draw_window(1);
  // Two bands of 127 rows under the title: each channel's zero line in the middle of its own.
  int lit = 0;
  for (int y = 0; y < 280; y++)
    lit += px(200, y) == palette[15] || px(200, y) == palette[14];
  EXPECT_EQ(lit, 2);
  expect_pixels({{200, 84, 15}, {200, 211, 14}});
  stop_screen();
  start_screen(800, 539); // graphics area of 500 rows
  ASSERT_EQ(graph_bottom - row_height, 500);
  for (int w = 1; w <= 5; w++) {
    layout_window(w);
    EXPECT_EQ(std::vector<int>({window_views[w].top, window_views[w].bottom}), std::vector({(w - 1) * 100, (w - 1) * 100 + 99}));
  }
  last_vis = 1;
  fill_rect(0, 0, 799, 499, 4); // what a longer layout left behind
  draw_window(1);
  EXPECT_EQ(std::vector<int>({window_views[1].top, window_views[1].bottom}), std::vector({0, 249}));
  expect_pixels({{400, 300, back_color}, {400, 499 - row_height, back_color}});
  // goto_position scrolls only when the cursor leaves the view; readouts and
  // titles give time, sample and value, or frequency and level.
  fill_window(1, std::vector<int>(10000, 0));
  window_views[1].view_start = 1000;
  window_views[1].view_end = 2000;
  redraw_current();
  struct { int pos, start, end, cursor; } steps[] = {
    {1500, 1000, 2000, 1500}, {2001, 1501, 2501, 2001}, {0, 0, 1000, 0}, {99999, 9000, 10000, 10000}, // clamped to the end
  };
  for (auto s : steps) {
    goto_position(s.pos);
    EXPECT_EQ(std::vector({window_views[1].view_start, window_views[1].view_end, cursor}),
              std::vector({s.start, s.end, s.cursor})) << s.pos;
  }
  EXPECT_EQ(shown_end, 10000);
  select_window(7); // out of range: nothing
  EXPECT_EQ(cur_win, 1);
  struct { int w, n, c, kind; int (*f)(int, int); int at; const char *readout, *title; } rows[] = {
    {1, 20000, 1, 0, dip, 5000, " Cursor at  0.5000/2.0000 s , (  5000/ 20000).  Value =   -123  ", "Duration = 2.0000 s   "},
    {1, 20000, 1, 0, dip, 20000, " Cursor at  2.0000/2.0000 s , ( 20000/ 20000).  Value =      0  ", "Duration = 2.0000 s   "}, // guard frame
    {2, 5000, 1, 0, dip, 100, " Cursor at   10.00/500.00 ms, (   100/  5000).  Value =      7  ", "Duration = 500.00 ms  "},
    {3, 256, 1, 1, peak, 128, " FFT Cursor at  2.500 kHz, Value = 120.0 dB  ", "Bandwidth =  5.000 kHz  "},
    {4, 256, 2, 1, [](int, int c) { return c * 32767; }, 10, " FFT Cursor at  0.195 kHz, Value =  60.0,120.0 dB  ", "Bandwidth =  5.000 kHz  "},
  };
  char text[160];
  for (auto &r : rows) {
    fill_window(r.w, frames(r.n, r.c, r.f), r.c);
    windows[r.w].kind = (uint8_t)r.kind;
    select_window(r.w);
    redraw_current();
    goto_position(r.at);
    EXPECT_STREQ(status_cache, r.readout);
    title_right_text(r.w, text, sizeof text);
    EXPECT_STREQ(text, r.title);
  }
  clear_window(4); // an empty window blanks the readout
  EXPECT_EQ(status_cache[0], 0);
  // Leaving a window, empty or not, takes the ">" from its title.
  last_vis = 4;
  redraw_all();
  for (int left : {4, 3}) {
    select_window(left);
    select_window(1);
    layout_window(left);
    int ink = 0, x = window_views[left].left + 2, y = window_views[left].top + 2;
    for (int r = 0; r < row_height - 2; r++)
      for (int i = 0; i < char_width; i++)
        ink += px(x + i, y + r) != palette[title_bg];
    EXPECT_EQ(ink, 0) << "window " << left;
  }
  title_right_text(5, text, sizeof text);
  EXPECT_STREQ(text, "No signal");
  window_views[2].view_start = window_views[2].view_end = 100;
  draw_window(2); // an empty view: frame, title and a blank plot area
  title_right_text(2, text, sizeof text);
  EXPECT_STREQ(text, "Duration =   0.00 ms  ");
}

// A loaded signal's first trace comes from extremes gathered while the file
// was read: it must be the trace a redraw scans for.  Files read straight
// (16-bit) and converted (8-bit), longer than a read at once, a header that
// claims more than the file holds, two channels (not gathered), and a
// signal loaded while another trace is pending.
TEST_F(Display, ALoadedSignalsFirstTraceIsTheTraceARedrawDraws)
{
  std::string dir = scratch_dir("trace_gather");
  struct { int bits, channels, n, missing; } rows[] = {
    {16, 1, 300001, 0}, {8, 1, 70001, 0}, {16, 1, 200000, 5000}, {16, 2, 150000, 0}, {16, 1, 1589, 0},
  };
  last_vis = 2;
  for (auto r : rows) {
    std::vector<uint64_t> values;
    for (uint32_t s = (uint32_t)r.n, i = 0; i < (uint32_t)(r.n * r.channels); i++) {
      s = s * 1664525u + 1013904223u;
      int v = (int)(s >> 17) % 50000 - 25000 + (int)(i % 997) * 7;
      values.push_back(r.bits == 16 ? (uint64_t)(uint16_t)v : (uint64_t)((v >> 8) + 128));
    }
    bytes file = make_wav(1, r.channels, 16000, r.bits, packed(false, r.bits / 8, values));
    file.resize(file.size() - (size_t)r.missing * 2);
    write_file(dir + "/f.wav", {file.begin(), file.end()});
    begin_trace_gather(1, windows[2].samples, 100, 10); // left over from elsewhere
    load_file((dir + "/f.wav").c_str(), 0);
    ASSERT_EQ(windows[1].num_samples, r.n - r.missing);
    std::vector<uint32_t> loaded(back_buffer, back_buffer + scr_width * scr_height);
    redraw_current();
    EXPECT_TRUE(std::equal(loaded.begin(), loaded.end(), back_buffer)) << r.bits << " bits, " << r.n << " frames";
  }
  // The start loads all its files before it draws any window: its first
  // screen is the one a redraw of every window draws (signals of one length,
  // so that each trace must come from its own window's values).
  // Names are taken from the start folder: two absolute ones in one folder,
  // one whose folder is missing (its base name is then looked up in the
  // start folder) and a relative one after them.
  char cwd[4096];
  ASSERT_TRUE(getcwd(cwd, sizeof cwd));
  ASSERT_EQ(chdir(dir.c_str()), 0);
  plat_note_start_dir();
  std::filesystem::create_directories(dir + "/elsewhere");
  const std::string names[] = {dir + "/elsewhere/start0.wav", dir + "/elsewhere/start1.wav",
                               dir + "/missing/start2.wav", "start3.wav"};
  const std::string files[] = {names[0], names[1], dir + "/start2.wav", dir + "/start3.wav"};
  num_files = 4;
  for (int i = 0; i < num_files; i++) {
    std::vector<int> v(200001);
    for (size_t k = 0; k < v.size(); k++)
      v[k] = (int)((k * (7919 + 40 * i)) % (50000 - 11000 * i)) - 25000;
    write_file(files[i], wav_text(v, 1, 16000));
    snprintf(file_names[i], FILE_NAME_LEN, "%s", names[i].c_str());
  }
  check_file_names();
  init_windows();
  load_start_files();
  ASSERT_EQ(std::vector({num_files, windows[1].num_samples, windows[2].num_samples, windows[3].num_samples,
                         windows[4].num_samples, cur_win}),
            std::vector({4, 200001, 200001, 200001, 200001, 1}));
  for (int w = 1; w <= 4; w++)
    EXPECT_EQ(windows[w].samples[1], (int)((7919 + 40 * (w - 1)) % (50000 - 11000 * (w - 1))) - 25000) << w;
  std::vector<uint32_t> started(back_buffer, back_buffer + scr_width * scr_height);
  redraw_all();
  EXPECT_TRUE(std::equal(started.begin(), started.end(), back_buffer));
  // A mono trace of strokes paints its own background: the band is what a
  // fill of the whole band and the strokes over it make.
  const window_view *v = &window_views[2];
  int inner = v->bottom - v->top - row_height - 6;
  fill_rect(v->left + 2, v->top + row_height + 2, v->right - 2, v->bottom - 2, plot_color);
  plot_trace(windows[2].samples, windows[2].num_samples, 1, v->right - v->left - 6, inner, v->left + 3,
             inner / 2 + v->top + row_height + 3, 65536, 0, wave_color);
  EXPECT_TRUE(std::equal(started.begin(), started.end(), back_buffer));
  num_files = 0;
  ASSERT_EQ(chdir(cwd), 0);
  plat_note_start_dir();
}
