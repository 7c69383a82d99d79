// The sound devices and the commands over them, in-process on the headless
// device: what is played and recorded, the key rules, the messages.
#include "audio/audio.h"
#include "audio/device.h"
#include "support/support.h"

namespace {

struct Sound : FileTest {
  std::vector<int> capture = frames(30000, 1, [](int i, int) { return i * 37 % 20000 - 10000; });
  void SetUp() override
  {
    FileTest::SetUp();
    write("in.raw", s16(capture));
    setenv("TARVO_PLAYBACK", path("out.raw").c_str(), 1);
    setenv("TARVO_CAPTURE", path("in.raw").c_str(), 1);
  }
  void TearDown() override
  {
    close_devices();
    device_choice = DEVICE_FOLLOW_SCREEN;
    FileTest::TearDown();
  }
  bytes played() { return bytes_of(read_file(path("out.raw"))); }
  std::vector<int> captured(int from, int n) { return {capture.begin() + from, capture.begin() + from + n}; }
};

// The first value of a segment is addressed by frame; every channel plays.
TEST_F(Sound, PlayedBytesAreTheSegmentsFrames)
{
  struct { int channels, from, to; } rows[] = {{1, 0, 8}, {2, 0, 8}, {2, 3, 6}, {3, 1, 2}};
  for (auto r : rows) {
    std::vector<int> v = frames(8, r.channels, [](int i, int c) { return i * 10 + c - 300; });
    fill_window(1, v, r.channels);
    unlink(path("out.raw").c_str());
    play_range(r.from, r.to);
    EXPECT_EQ(played(), s16({v.begin() + r.from * r.channels, v.begin() + r.to * r.channels})) << r.channels;
  }
}

// Rates outside 1000..192000 fail the open with their message, once (files
// that cannot be opened: SoundRun.DeviceFailuresEndTheCommands); a key
// already pending plays nothing; Esc stops the sound after its first 10 ms
// and stays pending.
TEST_F(Sound, DeviceCallsKeepTheirRules)
{
  struct { int record, rate, pending, pressed, frames; const char *message; } rows[] = {
    {0, 999, 0, ' ', 0, "Failed to open waveform output device."},
    {0, 192001, 0, ' ', 0, "Failed to open waveform output device."},
    {0, 1000, 0, 0, 2000, nullptr},
    {0, 192000, 0, 0, 2000, nullptr},
    {0, 10000, KEY_ESC, 0, 0, nullptr},
    {0, 10000, 0, KEY_ESC, 100, nullptr},
    {1, 999, 0, ' ', 0, "Failed to open waveform input device."},
    {1, 10000, 0, 0, 2000, nullptr},
    {1, 10000, KEY_ESC, 0, 0, nullptr},
    {1, 10000, 0, KEY_ESC, 100, nullptr}, // the stream goes on from 2000
  };
  std::vector<int16_t> buffer(2000);
  int taken = 0;
  for (auto r : rows) {
    SCOPED_TRACE(r.rate);
    unlink(path("out.raw").c_str());
    key_slot = r.pending;
    if (!r.pending)
      r.pressed ? push_char(r.pressed) : push_move(1, 1); // what the timer lets through
    if (r.record) {
      wave_in_record(buffer.data(), 2000, r.rate);
      EXPECT_EQ(recorded_frames, r.frames);
      EXPECT_EQ(std::vector<int>(buffer.begin(), buffer.begin() + r.frames), captured(taken, r.frames));
      taken += r.frames;
    } else {
      wave_out_play(buffer.data(), 2000, 1, r.rate);
      EXPECT_EQ(played().size(), 2u * r.frames);
    }
    EXPECT_EQ(messages(), r.message ? std::vector<std::string>{r.message} : std::vector<std::string>{});
    EXPECT_EQ(key_slot, r.pressed == KEY_ESC || r.pending ? KEY_ESC : 0);
    key_slot = 0;
  }
}

// Record replaces a stereo 8-bit signal after the question; a record time
// the storage refuses is reported.
TEST_F(Sound, RecordMakesAOneChannelSixteenBitWindow)
{
  fill_window(1, frames(50, 2, [](int i, int c) { return 128; }), 2, 10000, 8, 128);
  push_text("y ");
  push_move(1, 1);
  push_char(' ');
  record_signal();
  EXPECT_EQ(std::vector<int>({win().num_samples, win().channels, win().src_type, win().adc_bits, win().zero_level,
                              win().dac_rate}),
            std::vector<int>({10000, 1, SC_S16, 16, 0, 10000}));
  EXPECT_EQ(values(10000), captured(0, 10000));
  EXPECT_TRUE(showed(" Record time = 1000 msec"));
  wait_key(); // the key that answered it (its replay: SoundRun)
  push_text("n");
  record_signal(); // no: the recording stays
  push_text("y");
  push_char(KEY_ESC);
  record_signal(); // Esc at the start: an empty window
  EXPECT_EQ(windows[1].num_samples, 0);
  record_len = 0; // refused by the storage
  push_char(' ');
  record_signal();
  record_len = 10000;
  EXPECT_EQ(messages().back(), "Error in 'sigsize', error code = 0 ");
}

// An 8-bit signal asks to be reformatted; no plays its values as they stand.
TEST_F(Sound, PlayAsksForTheSegmentAndReformat)
{
  fill_window(1, {1, 2, 3, 4, 5, 6}, 1, 8000, 8, 128);
  reset_marks(1);
  push_text("n");
  replay();
  EXPECT_TRUE(showed("Data format does not match.  Reformat data? (Y/N) "));
  EXPECT_EQ(played(), s16({1, 2, 3, 4, 5, 6}));
  cursor = 4, windows[1].marks[1] = 1;
  unlink(path("out.raw").c_str());
  push_text("P.B");
  EXPECT_EQ(wait_key(), 'P');
  play_signal(1); // From after To plays the same stretch
  EXPECT_EQ(played(), s16({2, 3, 4}));
  EXPECT_TRUE(showed(" Playing from [cursor] to B "));
}

// The real device path, under SDL's dummy driver and its disk driver (which
// writes what it plays to a file).
TEST_F(Sound, SdlDevicesOpenQueueAndClose)
{
  device_choice = DEVICE_SDL;
  std::vector<int16_t> v(4000, 1234), in(1600);
  for (const char *driver : {"dummy", "disk"}) {
    setenv("SDL_AUDIODRIVER", driver, 1);
    setenv("SDL_DISKAUDIOFILE", path("disk.raw").c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "20", 1);
    push_move(1, 1); // for the timer
    wave_out_play(v.data(), 4000, 1, 16000);
    EXPECT_EQ(dev_failed, 0) << driver;
    setenv("SDL_DISKAUDIOFILEIN", path("in.raw").c_str(), 1);
    push_move(1, 1);
    wave_in_record(in.data(), 1600, 16000);
    EXPECT_EQ(std::vector<int>(in.begin(), in.begin() + recorded_frames),
              driver[1] == 'u' ? std::vector<int>(1600) : captured(0, 1600));
    close_devices();
  }
  bytes sent = s16(std::vector<int>(4000, 1234)); // after whatever silence the device began with
  EXPECT_NE(read_file(path("disk.raw")).find(std::string(sent.begin(), sent.end())), std::string::npos);
}

} // namespace
