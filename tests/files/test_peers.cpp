// Files made by tools this project did not write (SoX, SciPy), loaded by
// Tarvo and compared value for value with what those tools read back.
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "support/support.h"
#include <cmath>
#include <cstring>
#include <fstream>

typedef std::vector<int> ints;

class PeerTest : public FileTest {
protected:
  void run(const std::string &cmd)
  {
    std::string full = "cd '" + dir + "' && " + cmd;
    ASSERT_EQ(system(full.c_str()), 0) << full;
  }
  ints loaded() const { return values(win().num_samples * win().channels); }
  // What the peak scaling of float data makes of a peer's values.
  static ints peak_scaled(const std::vector<double> &v)
  {
    double peak = 0;
    for (double x : v)
      peak = std::max(peak, std::fabs(x));
    ints out;
    for (double x : v)
      out.push_back((int)std::trunc(x * (peak > 0 ? 32767.0 / peak : 1.0)));
    return out;
  }
};

enum { FLOAT_PEAK = -1, INT32_SHIFT = -2 };

TEST_F(PeerTest, SoxFilesLoadValueForValue)
{
  if (system("sox --version >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "sox is not installed";
  // shift: how many low bits of sox's own 32-bit reading Tarvo drops.
  struct { const char *file, *make; int code, shift; } cases[] = {
    {"m16.wav", "-r 16000 -b 16 -e signed", SC_S16, 16},
    {"s16.wav", "-r 22050 -b 16 -c 2", SC_S16, 16},
    {"u8.wav", "-r 8000 -b 8 -e unsigned", SC_U8, 24},
    {"x24.wav", "-r 16000 -b 24", SC_S24, 16},
    {"f32.wav", "-r 16000 -e floating-point -b 32", SC_FLOAT, FLOAT_PEAK},
    {"i32.wav", "-r 16000 -b 32 -e signed", SC_S32, INT32_SHIFT},
    {"chunks.wav", "-r 8000 -b 16", SC_S16, 16}, // other chunks put before the data
    {"be.au", "-r 8000 -b 16 -e signed -B", SC_S16, 16},
    {"le.au", "-r 8000 -b 16 -e signed -L", SC_S16, 16},
    {"mu.au", "-r 8000 -e mu-law -b 8", SC_MULAW, 16},
    {"fl.au", "-r 8000 -e floating-point -b 32 -B", SC_FLOAT, FLOAT_PEAK},
    // Headerless: sox is told the layout, as Tarvo is.
    {"be.raw", "-r 8000 -t raw -e signed -b 16 -B", SC_S16, 16},
    {"s8.raw", "-r 8000 -t raw -e signed -b 8", SC_S8, 24},
  };
  for (auto &c : cases) {
    run(std::string("sox -n ") + c.make + " " + c.file + " synth 0.3 sine 200-3000 sine 440 remix - vol 0.9");
    bool raw = strstr(c.file, ".raw");
    if (!strcmp(c.file, "chunks.wav")) {
      // An odd-sized chunk (with its pad byte), a LIST and a cue chunk
      // between "fmt " and "data"; sox reads the result too.
      bytes b = bytes_of(read_file(path(c.file)));
      std::string extra("junk\5\0\0\0abcde\0LIST\20\0\0\0INFOICMT\4\0\0\0abcdcue \4\0\0\0\0\0\0\0", 50);
      b.insert(b.begin() + 20 + get_le32(&b[16]), extra.begin(), extra.end());
      put_le32(&b[4], (uint32_t)(b.size() - 8));
      write(c.file, b);
    }
    clear_window(cur_win);
    raw_code = c.code;
    raw_swap = strstr(c.make, "-B") != nullptr;
    load_file(path(c.file).c_str(), raw);
    EXPECT_EQ(win().file_type, raw ? FT_NOH : strstr(c.file, ".au") ? FT_SND : FT_WAV) << c.file;
    EXPECT_EQ(win().src_type, c.code) << c.file;
    EXPECT_EQ(win().adc_rate, raw ? default_rate : atoi(c.make + 3)) << c.file;
    bool floats = c.shift == FLOAT_PEAK;
    run("sox " + std::string(raw ? c.make : "") + " " + c.file + " -t raw -L " +
        (floats ? "-e floating-point -b 64" : "-e signed -b 32") + " ref.raw");
    bytes b = bytes_of(read_file(path("ref.raw")));
    std::vector<double> peer;
    for (size_t i = 0, step = floats ? 8 : 4; i + step <= b.size(); i += step)
      peer.push_back(floats ? get_le_double(&b[i]) : (int32_t)get_le32(&b[i]));
    double lo = *std::min_element(peer.begin(), peer.end()), hi = *std::max_element(peer.begin(), peer.end());
    int shift = c.shift == INT32_SHIFT ? shift_to_16(std::min(lo, 0.0), std::max(hi, 0.0)) : c.shift;
    ints ref = floats ? peak_scaled(peer) : ints();
    if (!floats)
      for (double x : peer)
        ref.push_back(((int32_t)x >> shift) + (c.code == SC_U8 ? 128 : 0));
    EXPECT_GT(ref.size(), 2000u) << c.file;
    EXPECT_EQ(loaded(), ref) << c.file;
  }
}

// Level-4 MAT files written by SciPy, compared with what SciPy reads back.
TEST_F(PeerTest, ScipyMatFilesLoadValueForValue)
{
  std::string py = "/usr/bin/python3";
  if (system((py + " -c 'import scipy.io' >/dev/null 2>&1").c_str()) != 0)
    GTEST_SKIP() << "no Python with SciPy";
  // shift: bits Tarvo drops from SciPy's values, or FLOAT_PEAK.
  struct { const char *sig; int rate, channels, shift, code; } cases[] = {
    {"np.sin(t / 7.0) * 0.3", 16000, 1, FLOAT_PEAK, SC_DOUBLE},
    {"(np.sin(t / 5.0) * 2.5).astype(np.float32)", 0, 1, FLOAT_PEAK, SC_FLOAT},
    {"(np.sin(t / 9.0) * 30000).astype(np.int16)", 0, 1, 0, SC_S16},
    {"np.vstack([t % 100, -(t % 50)]).astype(np.int16)", 8000, 2, 0, SC_S16}, // rows are channels
    {"(t % 256).astype(np.uint8)", 0, 1, 0, SC_U8},
    {"(t * 30).astype(np.uint16)", 0, 1, 1, SC_U16}, // the peak passes 32767
  };
  for (auto &c : cases) {
    std::string rate = c.rate ? "'rate': np.array([[" + std::to_string(c.rate) + ".0]]), " : "";
    std::ofstream(path("mk.py")) << "import numpy as np, scipy.io as sio\n"
                                 << "t = np.arange(2000)\n"
                                 << "sio.savemat('s.mat', {" << rate << "'sig': " << c.sig << "}, format='4')\n"
                                 << "m = sio.loadmat('s.mat')['sig']\n"
                                 << "print(m.shape[0] * m.shape[1])\n"
                                 << "for x in m.flatten(order='F'): print(repr(float(x)))\n";
    run(py + " mk.py > values.txt");
    std::ifstream in(path("values.txt"));
    size_t n = 0;
    in >> n;
    std::vector<double> v;
    for (double x; in >> x;)
      v.push_back(x);
    ASSERT_EQ(v.size(), n) << c.sig;
    ints ref = c.shift == FLOAT_PEAK ? peak_scaled(v) : ints(v.begin(), v.end());
    for (int &x : ref)
      x >>= std::max(c.shift, 0);
    clear_window(cur_win);
    load_file(path("s.mat").c_str(), 0);
    EXPECT_EQ(win().src_type, c.code) << c.sig;
    EXPECT_EQ(win().adc_rate, c.rate ? c.rate : default_rate) << c.sig;
    EXPECT_EQ(win().channels, c.channels) << c.sig;
    EXPECT_EQ(win().num_samples, 2000) << c.sig;
    EXPECT_EQ(loaded(), ref) << c.sig;
  }
}
