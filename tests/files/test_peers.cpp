// Files made by tools this project did not write (SoX, SciPy), loaded by
// Tarvo and compared value for value with what those tools read back.
#include "files/bytes.h"
#include "file_fixture.h"
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

static bool have_sox() { return system("sox --version >/dev/null 2>&1") == 0; }

// A Python with SciPy, or empty.
static std::string scipy_python()
{
  for (const char *py : {"/usr/bin/python3", "python3"}) {
    std::string cmd = std::string(py) + " -c 'import scipy.io' >/dev/null 2>&1";
    if (system(cmd.c_str()) == 0)
      return py;
  }
  return "";
}

static bytes read_all(const std::string &p)
{
  std::ifstream in(p, std::ios::binary);
  return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class PeerTest : public FileTest {
protected:
  void run(const std::string &cmd)
  {
    std::string full = "cd '" + dir + "' && " + cmd;
    ASSERT_EQ(system(full.c_str()), 0) << full;
  }
  // sox's own reading of a file as 16-bit little-endian values.
  std::vector<int> sox_16(const std::string &file, const std::string &in_opts = "")
  {
    run("sox " + in_opts + " " + file + " -D -t raw -e signed -b 16 -L ref16.raw");
    bytes b = read_all(path("ref16.raw"));
    std::vector<int> v;
    for (size_t i = 0; i + 1 < b.size(); i += 2)
      v.push_back((int16_t)get_le16(&b[i]));
    return v;
  }
  // sox's reading as doubles, exactly.
  std::vector<double> sox_doubles(const std::string &file, const std::string &in_opts = "")
  {
    run("sox " + in_opts + " " + file + " -t raw -e floating-point -b 64 -L ref64.raw");
    bytes b = read_all(path("ref64.raw"));
    std::vector<double> v;
    for (size_t i = 0; i + 7 < b.size(); i += 8)
      v.push_back(get_le_double(&b[i]));
    return v;
  }
  std::vector<int> loaded() const
  {
    const signal_window &w = windows[cur_win];
    return std::vector<int>(w.samples, w.samples + (size_t)w.num_samples * w.channels);
  }
  // What the peak scaling of float data makes of a peer's values.
  static std::vector<int> peak_scaled(const std::vector<double> &v)
  {
    double peak = 0;
    for (double x : v)
      peak = std::max(peak, std::fabs(x));
    std::vector<int> out;
    for (double x : v)
      out.push_back((int)std::trunc(x * (peak > 0 ? 32767.0 / peak : 1.0)));
    return out;
  }
  void load(const std::string &name) { load_file(path(name).c_str(), 0); }
  void SetUp() override
  {
    FileTest::SetUp();
    if (!have_sox())
      GTEST_SKIP() << "sox is not installed";
  }
};

static const char synth[] = " synth 0.3 sine 200-3000 sine 440 remix - vol 0.9";

// What Tarvo must make of a file, from sox's own reading of it.
enum { SAME_16, SAME_U8, UPPER_16_OF_32, FLOAT_PEAK, INT32_SHIFT };

TEST_F(PeerTest, SoxFilesLoadValueForValue)
{
  struct { const char *file, *make; int expect, code; } cases[] = {
    {"m16.wav", "-r 16000 -b 16 -e signed", SAME_16, SC_S16},
    {"s16.wav", "-r 22050 -b 16 -c 2", SAME_16, SC_S16},
    {"u8.wav", "-r 8000 -b 8 -e unsigned", SAME_U8, SC_U8},
    {"x24.wav", "-r 16000 -b 24", UPPER_16_OF_32, SC_S24},
    {"f32.wav", "-r 16000 -e floating-point -b 32", FLOAT_PEAK, SC_FLOAT},
    {"i32.wav", "-r 16000 -b 32 -e signed", INT32_SHIFT, SC_S32},
    {"be.au", "-r 8000 -b 16 -e signed -B", SAME_16, SC_S16},
    {"le.au", "-r 8000 -b 16 -e signed -L", SAME_16, SC_S16},
    {"mu.au", "-r 8000 -e mu-law -b 8", SAME_16, SC_MULAW},
    {"fl.au", "-r 8000 -e floating-point -b 32 -B", FLOAT_PEAK, SC_FLOAT},
  };
  for (auto &c : cases) {
    run(std::string("sox -n ") + c.make + " " + c.file + synth);
    clear_window(cur_win);
    load(c.file);
    EXPECT_EQ(win().src_type, c.code) << c.file;
    std::vector<int> ref;
    if (c.expect == SAME_16) {
      ref = sox_16(c.file);
    } else if (c.expect == SAME_U8) {
      run(std::string("sox ") + c.file + " -t raw -e unsigned -b 8 ref8.raw");
      bytes b = read_all(path("ref8.raw"));
      ref.assign(b.begin(), b.end());
    } else if (c.expect == FLOAT_PEAK) {
      ref = peak_scaled(sox_doubles(c.file));
    } else {
      run(std::string("sox ") + c.file + " -t raw -e signed -b 32 -L ref32.raw");
      bytes b = read_all(path("ref32.raw"));
      int32_t lo = 0, hi = 0;
      for (size_t i = 0; i + 3 < b.size(); i += 4) {
        lo = std::min(lo, (int32_t)get_le32(&b[i]));
        hi = std::max(hi, (int32_t)get_le32(&b[i]));
      }
      int s = c.expect == UPPER_16_OF_32 ? 16 : shift_to_16(lo, hi);
      for (size_t i = 0; i + 3 < b.size(); i += 4)
        ref.push_back((int32_t)get_le32(&b[i]) >> s);
    }
    EXPECT_GT(ref.size(), 2000u) << c.file;
    EXPECT_EQ(loaded(), ref) << c.file;
  }
  EXPECT_EQ(win().adc_rate, 8000);
}

TEST_F(PeerTest, WavWithExtraChunksBeforeTheData)
{
  run(std::string("sox -n -r 8000 -b 16 plain.wav") + synth);
  bytes b = read_all(path("plain.wav"));
  // An odd-sized chunk (with its pad byte), a LIST and a cue chunk between
  // "fmt " and "data"; sox reads the result too.
  uint32_t fmt_end = 20 + get_le32(&b[16]);
  bytes extra;
  add_text(extra, "junk\5\0\0\0abcde\0LIST\20\0\0\0INFOICMT\4\0\0\0abcdcue \4\0\0\0\0\0\0\0", 50);
  b.insert(b.begin() + fmt_end, extra.begin(), extra.end());
  put_le32(&b[4], (uint32_t)(b.size() - 8));
  write("chunks.wav", b);
  load("chunks.wav");
  EXPECT_EQ(loaded(), sox_16("chunks.wav"));
  EXPECT_GT(win().num_samples, 2000);
}

TEST_F(PeerTest, HeaderlessSixteenAndEightBit)
{
  run(std::string("sox -n -r 8000 -t raw -e signed -b 16 -B be.raw") + synth);
  raw_swap = 1;
  load_file(path("be.raw").c_str(), 1);
  EXPECT_EQ(loaded(), sox_16("be.raw", "-t raw -r 8000 -e signed -b 16 -B"));
  EXPECT_EQ(win().file_type, FT_NOH);
  run(std::string("sox -n -r 8000 -t raw -e signed -b 8 s8.raw") + synth);
  raw_code = SC_S8;
  raw_swap = 0;
  clear_window(cur_win);
  load_file(path("s8.raw").c_str(), 1);
  std::vector<int> ref = sox_16("s8.raw", "-t raw -r 8000 -e signed -b 8");
  for (int &v : ref)
    v >>= 8;
  EXPECT_EQ(loaded(), ref);
}

class MatPeerTest : public PeerTest {
protected:
  std::string py;
  void SetUp() override
  {
    FileTest::SetUp();
    py = scipy_python();
    if (py.empty())
      GTEST_SKIP() << "no Python with SciPy";
  }
  // Writes a level-4 MAT file with SciPy and returns what SciPy reads back
  // from it for matrix `name`, column by column.
  std::vector<double> savemat(const std::string &file, const std::string &dict,
                              const std::string &name)
  {
    std::string script = path("mk.py");
    std::ofstream(script) << "import numpy as np, scipy.io as sio\n"
                          << "t = np.arange(2000)\n"
                          << "sio.savemat('" << file << "', " << dict << ", format='4')\n"
                          << "m = sio.loadmat('" << file << "')['" << name << "']\n"
                          << "print(m.shape[0], m.shape[1])\n"
                          << "for x in m.flatten(order='F'): print(repr(float(x)))\n";
    run(py + " mk.py > values.txt");
    std::ifstream in(path("values.txt"));
    int rows = 0, cols = 0;
    in >> rows >> cols;
    std::vector<double> v;
    double x;
    while (in >> x)
      v.push_back(x);
    EXPECT_EQ(v.size(), (size_t)rows * cols);
    return v;
  }
  static std::vector<int> as_ints(const std::vector<double> &v)
  {
    return std::vector<int>(v.begin(), v.end());
  }
};

TEST_F(MatPeerTest, DoubleWithRateScalar)
{
  std::vector<double> v = savemat(
      "d.mat", "{'rate': np.array([[16000.0]]), 'sig': np.sin(t / 7.0) * 0.3}", "sig");
  load("d.mat");
  EXPECT_EQ(win().adc_rate, 16000);
  EXPECT_EQ(win().num_samples, 2000);
  EXPECT_EQ(loaded(), peak_scaled(v));
}

TEST_F(MatPeerTest, FloatAndInt16)
{
  std::vector<double> f = savemat(
      "f.mat", "{'sig': (np.sin(t / 5.0) * 2.5).astype(np.float32)}", "sig");
  load("f.mat");
  EXPECT_EQ(win().src_type, SC_FLOAT);
  EXPECT_EQ(loaded(), peak_scaled(f));
  clear_window(cur_win);
  std::vector<double> i = savemat(
      "i.mat", "{'sig': (np.sin(t / 9.0) * 30000).astype(np.int16)}", "sig");
  load("i.mat");
  EXPECT_EQ(loaded(), as_ints(i));
  EXPECT_EQ(win().adc_rate, default_rate);
}

TEST_F(MatPeerTest, TwoRowsAreTwoChannels)
{
  std::vector<double> v = savemat(
      "two.mat",
      "{'rate': np.array([[8000.0]]), "
      "'sig': np.vstack([t % 100, -(t % 50)]).astype(np.int16)}",
      "sig");
  load("two.mat");
  EXPECT_EQ(win().channels, 2);
  EXPECT_EQ(win().num_samples, 2000);
  EXPECT_EQ(loaded(), as_ints(v));
  EXPECT_EQ(win().adc_rate, 8000);
}

TEST_F(MatPeerTest, UnsignedIntegersKeepTheirShape)
{
  std::vector<double> v = savemat("u8.mat", "{'sig': (t % 256).astype(np.uint8)}", "sig");
  load("u8.mat");
  EXPECT_EQ(loaded(), as_ints(v));
  clear_window(cur_win);
  std::vector<double> w = savemat("u16.mat", "{'sig': (t * 30).astype(np.uint16)}", "sig");
  load("u16.mat");
  std::vector<int> ref;
  for (double x : w)
    ref.push_back((int)x >> 1); // the peak passes 32767: one bit of shift
  EXPECT_EQ(loaded(), ref);
}
