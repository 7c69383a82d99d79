// The screen and keyboard: drawing on the back buffer, info boxes and the
// help screen, the texts on the prompt and status lines, platform events to
// key codes, one-line menus and the one-line editor.
#include "support/support.h"
#include <chrono>
#include <thread>

static int count_color(int x0, int y0, int x1, int y1, uint32_t rgb)
{
  int n = 0;
  for (int y = y0; y <= y1; y++)
    n += (int)std::count(back_buffer + y * scr_width + x0, back_buffer + y * scr_width + x1 + 1, rgb);
  return n;
}

static std::vector<uint32_t> snapshot() { return std::vector<uint32_t>(back_buffer, back_buffer + scr_width * scr_height); }
static std::vector<uint32_t> on_screen() { return std::vector<uint32_t>(headless_screen(), headless_screen() + scr_width * scr_height); }
static std::vector<int> box_corners() { return {box_left, box_top, box_right, box_bottom}; }

struct Screen : ScreenTest {};

TEST_F(Screen, RectsBandsLinesAndOverlaysDrawAsShownAndBoxesAreCentredFramedAndRestoreTheScreen)
{
  fill_rect(10, 20, 5, 8, 4);
  EXPECT_EQ(count_color(0, 0, 50, 50, palette[4]), 6 * 13);
  expect_pixels({{5, 8, 4}, {10, 20, 4}, {11, 20, 0}, {10, 21, 0}});
  // Off-screen parts are clipped, not wrapped into other rows.
  fill_rect(-5, 100, 3, 100, 2);
  fill_rect(scr_width - 2, 101, scr_width + 40, 101, 2);
  fill_rect(10, scr_height - 1, 20, scr_height + 9, 2);
  EXPECT_EQ(count_color(0, 0, scr_width - 1, scr_height - 1, palette[2]), 4 + 2 + 11);
  // Scrolling a band moves whole rows by character steps.
  fill_rect(0, 0, scr_width - 1, scr_height - 1, 0);
  fill_rect(0, 10, 7, 20, 12);
  scroll_band(10, 20, 2);
  expect_pixels({{16, 15, 12}, {23, 15, 12}, {24, 15, 0}});
  scroll_band(10, 20, -1);
  expect_pixels({{0, 15, 0}, {8, 15, 12}, {15, 15, 12}, {16, 15, 0}, {8, 9, 0}}); // rows outside the band stay
  // Lines are one pixel wide, leave out their end point and reach the screen at once unless no_direct.
  fill_rect(0, 0, scr_width - 1, scr_height - 1, 0);
  draw_line(30, 40, 30, 40, 15);
  draw_line(50, 50, 60, 50, 12);
  draw_line(0, 60, 20, 70, 10); // one pixel per step along the long axis
  EXPECT_EQ(std::vector({count_color(0, 0, 100, 100, palette[15]), count_color(0, 0, 100, 100, palette[12]),
                         count_color(0, 0, 100, 100, palette[10])}), std::vector({1, 10, 20}));
  expect_pixels({{30, 40, 15}, {59, 50, 12}, {60, 50, 0}});
  EXPECT_EQ(std::pair(text_x, text_y), std::pair(20, 70)); // where the last line ended
  auto screen_at = [](int x, int y) { return headless_screen()[y * scr_width + x]; };
  draw_line(100, 100, 110, 100, 15);
  no_direct = 1;
  draw_line(100, 110, 110, 110, 15);
  no_direct = 0;
  fill_rect(200, 200, 210, 210, 9); // filled areas wait for the repaint that pumping messages does
  EXPECT_EQ(std::vector({screen_at(105, 100), screen_at(105, 110), screen_at(205, 205)}),
            std::vector({palette[15], palette[0], palette[0]}));
  poll_key();
  EXPECT_EQ(screen_at(205, 205), palette[9]);
  // Rows go either way and are clipped; exclusive-or rows too.
  draw_line(70, 60, 60, 60, 14);
  draw_line(-5, 61, 3, 61, 14);
  draw_line(scr_width - 2, 62, scr_width + 9, 62, 14);
  draw_line(5, -1, 9, -1, 14);
  set_xor(1);
  draw_line(64, 60, 66, 60, 14);
  set_xor(0);
  EXPECT_EQ(std::vector<int>({count_color(0, 59, scr_width - 1, 63, palette[14]), px(61, 60) == palette[14], px(60, 60) == palette[14]}),
            std::vector({8 + 3 + 2, 1, 0}));
  // Columns too, and their end point is left out the same way.
  draw_line(90, 130, 90, 120, 13);
  draw_line(95, -5, 95, 3, 13);
  draw_line(99, scr_height - 2, 99, scr_height + 9, 13);
  set_xor(1);
  draw_line(90, 124, 90, 126, 13);
  set_xor(0);
  EXPECT_EQ(std::vector<int>({count_color(90, 100, 90, 140, palette[13]), count_color(95, 0, 95, 9, palette[13]),
                              count_color(99, scr_height - 5, 99, scr_height - 1, palette[13]), px(90, 120) == palette[13]}),
            std::vector<int>({10 - 2, 3, 2, 0}));
  // Text is clipped at the screen's edges cell column by column.
  auto cell = [](int x) { std::vector<uint32_t> c; for (int y = 100 - char_ascent; y < 100 - char_ascent + row_height - 2; y++) for (int i = 0; i < char_width; i++) c.push_back(x + i >= 0 && x + i < scr_width ? px(x + i, y) : 0); return c; };
  set_text_colors(15, 4);
  draw_text(300, 100, "W");
  auto whole = cell(300);
  fill_rect(0, 80, scr_width - 1, 120, 0);
  draw_text(-3, 100, "W");
  draw_text(scr_width - 5, 100, "W");
  auto left = cell(-3), right = cell(scr_width - 5);
  for (size_t k = 0; k < whole.size(); k++) {
    int i = (int)(k % char_width);
    EXPECT_EQ(left[k], i >= 3 ? whole[k] : 0) << k;
    EXPECT_EQ(right[k], i < 5 ? whole[k] : 0) << k;
  }
  // Rectangles far apart are copied apart: a pixel between them that no one
  // marked stays off the screen; any number of them all reach it.
  poll_key();
  back_buffer[300 * scr_width + 400] = palette[13];
  fill_rect(10, 5, 500, 6, 2);
  fill_rect(10, 590, 500, 595, 3);
  poll_key();
  EXPECT_EQ(std::vector({screen_at(400, 300), screen_at(400, 5), screen_at(400, 592)}),
            std::vector({palette[0], palette[2], palette[3]}));
  for (int k = 0; k < 9; k++)
    fill_rect(80 * k, 60 * k, 80 * k + 4, 60 * k + 4, 2 + k % 5);
  poll_key();
  for (int k = 0; k < 9; k++)
    EXPECT_EQ(screen_at(80 * k + 2, 60 * k + 2), palette[2 + k % 5]) << k;
  // While presents are held, nothing reaches the screen, lines included,
  // unless the hold lasts; ending it shows everything.
  hold_presents(1);
  fill_rect(500, 500, 510, 510, 12);
  draw_line(500, 520, 520, 520, 12);
  poll_key();
  EXPECT_EQ(std::vector({screen_at(505, 505), screen_at(510, 520)}), std::vector({palette[0], palette[0]}));
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  fill_rect(530, 500, 540, 510, 12);
  poll_key();
  EXPECT_EQ(screen_at(535, 505), palette[12]);
  fill_rect(0, 450, 3, 451, 12); // a message shows at once, the rest waits
  show_prompt(" Loading ... ");
  int prompt_top = graph_bottom - char_ascent;
  EXPECT_TRUE(std::equal(back_buffer + prompt_top * scr_width, back_buffer + (prompt_top + row_height) * scr_width,
                         headless_screen() + prompt_top * scr_width));
  EXPECT_NE(screen_at(2, 450), palette[12]);
  clear_prompt();
  fill_rect(550, 500, 560, 510, 12);
  push_char('k'); // waiting for a key shows the screen, held or not
  wait_key();
  EXPECT_EQ(screen_at(555, 505), palette[12]);
  fill_rect(570, 500, 580, 510, 12);
  hold_presents(0);
  EXPECT_EQ(screen_at(575, 505), palette[12]);
  fill_rect(0, 0, 700, 500, 1);
  auto before = snapshot();
  uint32_t xored = palette[1] ^ palette[7];
  show_range_box(10, 10, 100, 80, 7);
  for (auto [x, y] : {std::pair{10, 10}, {100, 10}, {100, 80}, {10, 80}})
    EXPECT_EQ(px(x, y), xored) << x << "," << y; // a closed outline, each corner drawn once
  hide_range_box();
  EXPECT_EQ(snapshot(), before);
  set_cursor_shape(50, 7);
  show_time_cursor(40, 20);
  show_time_cursor(40, 20); // the first is removed before the second is drawn
  EXPECT_EQ(count_color(40, 0, 40, 299, xored), 50);
  show_time_cursor(60, 20);
  draw_mark(120, 100, 3); // a mark keeps the cursor where it was
  EXPECT_EQ(std::pair(count_color(40, 0, 40, 299, xored), count_color(60, 0, 60, 299, xored)), std::pair(0, 50));
  draw_mark(120, 100, 3);
  hide_time_cursor();
  hide_time_cursor();
  EXPECT_EQ(snapshot(), before);
  // Marks outside the screen or the alphabet draw nothing.
  for (auto [x, y, letter] : {std::array{10, 10, 26}, {scr_width, 10, 0}, {10, scr_height, 0}, {-1, 10, 0}, {10, 10, -1}})
    draw_mark(x, y, letter);
  EXPECT_EQ(snapshot(), before);
  // Help and info boxes are centred, framed and restore the screen; a second box is refused.
  poll_key();
  auto screen_before = on_screen();
  push_move(400, 300); // moving the mouse does not close it
  push_char('z');
  show_help();
  EXPECT_EQ(box_corners(), std::vector({240, 102, 559, 497}));
  EXPECT_EQ(snapshot(), before);
  poll_key();
  EXPECT_EQ(on_screen(), screen_before);
  ASSERT_GE(open_info_box(200, 100), 0);
  expect_pixels({{box_left, box_top, box_bg}, {box_left + 1, box_top + 1, box_fg}, {box_left + 2, box_top + 2, box_bg}});
  info_text(8, 14, "first");
  auto with_box = snapshot();
  push_char(' '); // answers the error message
  EXPECT_LT(open_info_box(100, 50), 0);
  EXPECT_EQ(box_corners(), std::vector({300, 250, 499, 349})); // the open box keeps its place
  EXPECT_EQ(snapshot(), with_box); // the message came and went on the prompt line
  fill_rect(box_left + 2, box_top + 2, box_right - 2, box_bottom - 2, 4);
  clear_info_box();
  EXPECT_EQ(count_color(box_left + 2, box_top + 2, box_right - 2, box_bottom - 2, palette[box_bg]), 196 * 96);
  close_info_box();
  EXPECT_GE(open_info_box(100, 50), 0); // the saved rectangle is free again
}

// True when the prompt (or status) line on the screen shows just text at x
// in colour fg: clearing the line and drawing text anew changes no pixel.
static bool line_shows(bool status, int x, int fg, const char *text)
{
  auto before = on_screen();
  status ? clear_status() : clear_prompt();
  set_text_colors(fg, prompt_bg);
  draw_text(x, status ? text_bottom : graph_bottom, text);
  paint_dirty();
  return on_screen() == before;
}

const char *const top[] = {"File", "Edit", "Modify", "Trans", "Calc", "Input", "Play", "View", "Window", "Set", "Help", ""};

TEST_F(Screen, MessagesMenuLineAndKeyHintsAsShownKeyCodesFollowTheModifiersAndCtrlCQuits)
{
  struct { void (*show)(); bool status; int x, fg; const char *text; } rows[] = {
    {[] { open_info_box(80, 40); open_info_box(80, 40); }, false, prompt_x, prompt_fg, "Problem opening info box."},
    {[] { menu_select("Tarvo", top); }, false, prompt_x, prompt_fg,
     " Tarvo:  File  Edit  Modify  Trans  Calc  Input  Play  View  Window  Set  Help "},
    {[] { scroll_mode = 0; menu_select("Tarvo", top); }, true, scr_width - 13 * char_width, hint_fg, " + - < > \" ~ "},
    {[] { scroll_mode = 1; menu_select("Tarvo", top); }, true, scr_width - 13 * char_width, hint_fg, "     < > \" ~ "},
  };
  for (const auto &row : rows) {
    push_char(' '); // the key a message waits for, or the menu's answer
    row.show();
    EXPECT_EQ(key_slot, 0);
    EXPECT_TRUE(line_shows(row.status, row.x, row.fg, row.text)) << row.text;
    close_info_box();
  }
  scroll_mode = 0;
  clear_status(); // the key hints
  // The same text draws nothing and a shorter text leaves no old characters.
  show_prompt("Hello");
  fill_rect(0, graph_bottom - 5, 3, graph_bottom - 5, 12); // a scribble on the line
  auto with_scribble = snapshot();
  show_prompt("Hello");
  EXPECT_EQ(snapshot(), with_scribble);
  show_prompt("Hi");
  show_status("abcdefgh");
  show_status("xy");
  paint_dirty();
  EXPECT_TRUE(line_shows(false, prompt_x, prompt_fg, "Hi"));
  EXPECT_TRUE(line_shows(true, status_x, status_fg, "xy"));
  // The codes of each key are in Platform.KeysFromTheWindowAndFromScriptsGiveTheCodesOfAPcKeyboard.
  // Keys beyond F8 and mouse moves make no code; the releases are seen too.
  push_key(PK_F9);
  push_move(10, 20);
  push_char('z');
  EXPECT_EQ(wait_key(), 'z');
  EXPECT_EQ(shift_down + ctrl_down, 0);
  platform_event a = {EV_CHAR, 0, 'a', 0, 0}, b = {EV_CHAR, 0, 'b', 0, 0};
  window_proc(&a);
  window_proc(&b);
  EXPECT_EQ(std::vector<int>({poll_key(), peek_key(), wait_key(), key_slot}), std::vector<int>({'b', 'b', 'b', 0}));
  // A busy program's polls see a key only after a timer wait of a millisecond or more.
  push_char('q');
  EXPECT_EQ(std::vector<int>({poll_key(), (wait_timer(1, 8000), poll_key()), (wait_timer(1000, 8000), poll_key())}),
            std::vector<int>({0, 0, 'q'}));
  push_char('r');
  EXPECT_EQ(std::vector<int>({wait_key(), wait_key_pending(), wait_key()}), std::vector<int>({'q', 'r', 'r'}));
  // Ctrl-C and closing the window set the quit flag; closed stays closed.
  push_char(3);
  EXPECT_EQ(std::vector({wait_key(), quit_flag}), std::vector({3, 1}));
  quit_flag = 0;
  platform_event ev = {EV_CLOSE, 0, 0, 0, 0};
  headless_push_event(&ev);
  EXPECT_EQ(std::vector({wait_key(), quit_flag, wait_key()}), std::vector({3, 1, 3}));
}

// Events written as a string: characters are typed, K(key) is a platform key,
// RCLICK a right click and LCLICK a left one.
static std::string K(int platform_key) { return std::string(1, (char)(0x80 + platform_key)); }
const std::string RCLICK = "\xff", LCLICK = "\xfe";

static void play(const std::string &events)
{
  for (unsigned char e : events)
    e >= 0xfe ? push_click(10, 10, e == 0xff) : e >= 0x80 ? push_key(e - 0x80) : push_char(e);
}

TEST_F(Screen, TypedAndClickedChoicesEditLineKeysPromptInputAndAskYes)
{
  const char *const bits[] = {"1", "2", "4", "8", ""}, *const codes[] = {"0-unsigned", "1-signed", "2-mulaw", ""};
  // The fifth item would pass 80 characters: it is not shown, nor clickable.
  const char *const many[] = {"Aaaaaaaaaaaaaaa", "Bbbbbbbbbbbbbbb", "Ccccccccccccccc", "Ddddddddddddddd", "Eeeeeeeeeeeeeee", ""};
  int b = graph_bottom;
  // Typed keys come back upper-cased, an item's or not.  A click on the line picks the item
  // under it: after " Tarvo: " (8 cells of 8 pixels), " File " spans x 72..104, " Edit " 120..152.
  struct { const char *const *items; int typed, x, y, right, code; } rows[] = {
    {top, 'f', 0, 0, 0, 'F'}, {top, 'F', 0, 0, 0, 'F'}, {top, 'x', 0, 0, 0, 'X'}, {top, '1', 0, 0, 0, '1'},
    {top, 27, 0, 0, 0, 27}, {bits, '4', 0, 0, 0, '4'}, {codes, '2', 0, 0, 0, '2'}, {many, 'e', 0, 0, 0, 'E'},
    {top, 0, 72, b, 0, 'F'}, {top, 0, 104, b - 8, 0, 'F'}, {top, 0, 140, b - 3, 0, 'E'},
    {top, 0, 112, b, 0, 513}, {top, 0, 8 * 79 + 8, b, 0, 513}, // between items and after the last
    {top, 0, 84, b - 9, 0, 513}, {top, 0, 84, b + 1, 0, 513}, // above and below the line
    {top, 0, 84, b, 1, 514}, {bits, 0, 8 * 14 + 8, b, 0, '4'}, {bits, 0, 8 * 17 + 8, b, 0, '8'},
    {codes, 0, 8 * 8 + 8, b, 0, '0'}, {many, 0, 8 * 59 + 8, b, 0, 'D'}, {many, 0, 8 * 77 + 8, b, 0, 513},
  };
  for (auto r : rows) {
    r.typed ? push_char(r.typed) : push_click(r.x, r.y, r.right);
    EXPECT_EQ(menu_select("Tarvo", r.items), r.code) << r.typed << " " << r.x << "," << r.y;
  }
  push_key(PK_F1);
  EXPECT_EQ(menu_select("Tarvo", top), 315);
  key_slot = 'e'; // a key typed ahead is answered without drawing the line
  clear_prompt();
  EXPECT_EQ(menu_select("Tarvo", top), 'E');
  EXPECT_STREQ(prompt_cache, "");
  // The one-line editor's keys and what ends it.
  struct { std::string events; int maxlen, end; const char *text; } cases[] = {
    {"abcdef" + K(PK_ENTER), 5, 13, "abcd"}, // a full buffer drops characters
    {"ac" + K(PK_LEFT) + "b" + K(PK_ENTER), 80, 13, "abc"},
    {"abc" + K(PK_HOME) + "\x0b" + K(PK_ENTER), 80, 13, ""},  // Ctrl-K cuts to the end
    {"abcd\x02\x02\x15X" + K(PK_ENTER), 80, 13, "Xcd"},       // Ctrl-B twice, Ctrl-U cuts to the start
    // Ctrl-A, delete at the position, Ctrl-E, backspace, Ctrl-F at the end, DEL.
    {"abcd\x01" + K(PK_DELETE) + "\x05" + K(PK_BACKSPACE) + "\x06\x7f" + K(PK_ENTER), 80, 13, "b"},
    {"abc" + K(PK_ESC), 80, 27, ""}, {"abc" + RCLICK, 80, 13, "abc"}, {"abc" + LCLICK, 80, 513, "abc"},
    {"abc\n", 80, 13, "abc"}, {"abc" + K(PK_TAB), 80, 9, "abc"}, {K(PK_F1), 80, 315, ""},
  };
  char buf[80];
  for (const auto &c : cases) {
    play(c.events);
    buf[0] = 0;
    show_prompt("Answer: ");
    EXPECT_EQ(edit_line(buf, c.maxlen), c.end) << c.text;
    EXPECT_STREQ(buf, c.text);
  }
  EXPECT_EQ(edit_line(nullptr, 80) + edit_line(buf, 0), 0);
  // A prompt takes no answer from a left click; only a yes is a yes.
  for (auto [events, answer] : {std::pair{"12" + LCLICK, ""}, {"12" + K(PK_ENTER), "12"}}) {
    play(events);
    prompt_input(" Value ?  ", buf, 80);
    EXPECT_STREQ(buf, answer);
    EXPECT_STREQ(prompt_cache, "");
  }
  for (auto [events, yes] : {std::pair{std::string("y"), true}, {"Y", true}, {RCLICK, true},
                             {"n", false}, {K(PK_ENTER), false}, {K(PK_ESC), false}, {LCLICK, false}}) {
    play(events);
    EXPECT_EQ(ask_yes(), yes) << (int)(unsigned char)events[0];
  }
}

