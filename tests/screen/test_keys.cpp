// Platform events become PC-keyboard key codes.
#include "core/state.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include "support/support.h"
#include <gtest/gtest.h>

namespace {

struct Keys : ::testing::Test {
  void SetUp() override { start_screen(); }
  void TearDown() override { stop_screen(); }
};

TEST_F(Keys, CursorAndFunctionKeysFollowTheModifiers)
{
  struct { int key, shift, ctrl, code; } cases[] = {
    {PK_LEFT, 0, 0, 331}, {PK_LEFT, 1, 0, 52}, {PK_LEFT, 0, 1, 371}, {PK_LEFT, 1, 1, 371},
    {PK_RIGHT, 0, 0, 333}, {PK_RIGHT, 1, 0, 54}, {PK_RIGHT, 1, 1, 372},
    {PK_HOME, 0, 0, 327}, {PK_HOME, 0, 1, 375}, {PK_END, 0, 0, 335}, {PK_END, 0, 1, 373},
    {PK_UP, 0, 0, 328}, {PK_DOWN, 0, 0, 336}, {PK_PGUP, 0, 0, 329}, {PK_PGDN, 0, 0, 337},
    {PK_INSERT, 0, 0, 338}, {PK_DELETE, 0, 0, 339},
    {PK_F1, 0, 0, 315}, {PK_F8, 0, 0, 322},
    {PK_TAB, 0, 0, 9}, {PK_TAB, 1, 0, 271}, {PK_ENTER, 0, 0, 13}, {PK_ESC, 0, 0, 27},
  };
  for (auto c : cases) {
    push_key(c.key, c.shift, c.ctrl);
    EXPECT_EQ(wait_key(), c.code) << "key " << c.key << " shift " << c.shift << " ctrl " << c.ctrl;
  }
  // The releases that followed the last key are seen on the next wait.
  push_char('z');
  EXPECT_EQ(wait_key(), 'z');
  EXPECT_EQ(shift_down, 0);
  EXPECT_EQ(ctrl_down, 0);
}

TEST_F(Keys, KeysBeyondF8MakeNoCode)
{
  push_key(PK_F9);
  push_key(PK_F12);
  push_char('a');
  EXPECT_EQ(wait_key(), 'a');
}

TEST_F(Keys, CtrlCSetsTheQuitFlag)
{
  push_char(3);
  EXPECT_EQ(wait_key(), 3);
  EXPECT_EQ(quit_flag, 1);
}

TEST_F(Keys, ClosingTheWindowDeliversCtrlC)
{
  platform_event ev = {EV_CLOSE, 0, 0, 0, 0};
  headless_push_event(&ev);
  EXPECT_EQ(wait_key(), 3);
  EXPECT_EQ(quit_flag, 1);
  // Once closed it stays closed: a later wait does not hang.
  EXPECT_EQ(wait_key(), 3);
}

TEST_F(Keys, MouseMovesAreNoKeysButClicksReportTheLastPosition)
{
  push_move(10, 20);
  push_move(30, 40);
  push_click(300, 200);
  EXPECT_EQ(wait_key(), 513);
  int x, y;
  get_mouse(&x, &y);
  EXPECT_EQ(x, 300);
  EXPECT_EQ(y, 200);
  push_click(5, 6, 1);
  EXPECT_EQ(wait_key(), 514);
}

TEST_F(Keys, ANewKeyOverwritesOneNotYetTaken)
{
  platform_event a = {EV_CHAR, 0, 'a', 0, 0}, b = {EV_CHAR, 0, 'b', 0, 0};
  window_proc(&a);
  window_proc(&b);
  EXPECT_EQ(poll_key(), 'b');
  EXPECT_EQ(poll_key(), 'b'); // polling leaves the key pending
  EXPECT_EQ(peek_key(), 'b');
  EXPECT_EQ(wait_key(), 'b');
  EXPECT_EQ(key_slot, 0);
}

TEST_F(Keys, ABusyProgramSeesKeysOnlyAfterItsTimerWaits)
{
  push_char('a');
  EXPECT_EQ(poll_key(), 0);
  wait_timer(1, 8000); // under a millisecond: returns at once, lets nothing through
  EXPECT_EQ(poll_key(), 0);
  wait_timer(1000, 8000);
  EXPECT_EQ(poll_key(), 'a');
}

TEST_F(Keys, WaitKeyPendingLeavesTheKeyInTheSlot)
{
  push_char('q');
  EXPECT_EQ(wait_key_pending(), 'q');
  EXPECT_EQ(wait_key(), 'q');
}

} // namespace
