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

static const char synth[] = "synth 0.3 sine 200-3000 sine 440 remix - vol 0.9";

TEST_F(PeerTest, Wav16BitMonoAndStereo)
{
  run(std::string("sox -n -r 16000 -b 16 -e signed m16.wav ") + synth);
  load("m16.wav");
  EXPECT_EQ(loaded(), sox_16("m16.wav"));
  EXPECT_EQ(win().adc_rate, 16000);
  run("sox -n -r 22050 -b 16 -c 2 s16.wav synth 0.2 sine 300 sine 500");
  clear_window(cur_win);
  load("s16.wav");
  EXPECT_EQ(win().channels, 2);
  EXPECT_EQ(win().num_samples, 4410);
  EXPECT_EQ(loaded(), sox_16("s16.wav"));
}

TEST_F(PeerTest, Wav8BitKeepsUnsignedBytes)
{
  run(std::string("sox -n -r 8000 -b 8 -e unsigned u8.wav ") + synth);
  run("sox u8.wav -t raw -e unsigned -b 8 ref8.raw");
  bytes ref = read_all(path("ref8.raw"));
  load("u8.wav");
  ASSERT_EQ((size_t)win().num_samples, ref.size());
  EXPECT_EQ(loaded(), std::vector<int>(ref.begin(), ref.end()));
  EXPECT_EQ(win().zero_level, 128);
}

TEST_F(PeerTest, Wav24BitKeepsTheUpper16Bits)
{
  run(std::string("sox -n -r 16000 -b 24 x24.wav ") + synth);
  run("sox x24.wav -t raw -e signed -b 32 -L ref32.raw");
  bytes b = read_all(path("ref32.raw"));
  std::vector<int> ref;
  for (size_t i = 0; i + 3 < b.size(); i += 4)
    ref.push_back((int32_t)get_le32(&b[i]) >> 16);
  load("x24.wav");
  EXPECT_EQ(loaded(), ref);
  EXPECT_EQ(win().src_type, SC_S24);
}

TEST_F(PeerTest, Wav32BitFloatIsPeakScaled)
{
  run(std::string("sox -n -r 16000 -e floating-point -b 32 f32.wav ") + synth + " vol 0.4");
  load("f32.wav");
  EXPECT_EQ(loaded(), peak_scaled(sox_doubles("f32.wav")));
  EXPECT_EQ(win().src_type, SC_FLOAT);
}

TEST_F(PeerTest, Wav32BitIntegerFullScale)
{
  run(std::string("sox -n -r 16000 -b 32 -e signed i32.wav ") + synth);
  run("sox i32.wav -t raw -e signed -b 32 -L ref32.raw");
  bytes b = read_all(path("ref32.raw"));
  int32_t lo = 0, hi = 0;
  for (size_t i = 0; i + 3 < b.size(); i += 4) {
    lo = std::min(lo, (int32_t)get_le32(&b[i]));
    hi = std::max(hi, (int32_t)get_le32(&b[i]));
  }
  int s = shift_to_16(lo, hi);
  EXPECT_GE(s, 15); // full-scale data
  std::vector<int> ref;
  for (size_t i = 0; i + 3 < b.size(); i += 4)
    ref.push_back((int32_t)get_le32(&b[i]) >> s);
  load("i32.wav");
  EXPECT_EQ(loaded(), ref);
}

TEST_F(PeerTest, WavWithExtraChunksBeforeTheData)
{
  run(std::string("sox -n -r 8000 -b 16 plain.wav ") + synth);
  bytes b = read_all(path("plain.wav"));
  // Put an odd-sized LIST chunk (with its pad byte) and a cue chunk between
  // "fmt " and "data", then let sox read the result too.
  uint32_t fmt_end = 20 + get_le32(&b[16]);
  bytes extra;
  add_text(extra, "LIST", 4);
  add_le32(extra, 13);
  add_text(extra, "INFOICMT\5\0\0\0abcde", 17 - 4);
  add_zeros(extra, 1);
  add_text(extra, "cue ", 4);
  add_le32(extra, 4);
  add_le32(extra, 0);
  b.insert(b.begin() + fmt_end, extra.begin(), extra.end());
  put_le32(&b[4], (uint32_t)(b.size() - 8));
  write("chunks.wav", b);
  load("chunks.wav");
  EXPECT_EQ(loaded(), sox_16("chunks.wav"));
  EXPECT_GT(win().num_samples, 2000);
}

TEST_F(PeerTest, SndBigAndLittleEndian16Bit)
{
  run(std::string("sox -n -r 8000 -b 16 -e signed -B be.au ") + synth);
  run(std::string("sox -n -r 8000 -b 16 -e signed -L le.au ") + synth);
  load("be.au");
  EXPECT_EQ(win().src_flag, 1);
  EXPECT_EQ(loaded(), sox_16("be.au"));
  EXPECT_EQ(win().adc_rate, 8000);
  clear_window(cur_win);
  load("le.au");
  EXPECT_EQ(win().src_flag, 0);
  EXPECT_EQ(loaded(), sox_16("le.au"));
}

TEST_F(PeerTest, SndMulawAndFloat)
{
  run(std::string("sox -n -r 8000 -e mu-law -b 8 mu.au ") + synth);
  load("mu.au");
  EXPECT_EQ(win().src_type, SC_MULAW);
  EXPECT_EQ(loaded(), sox_16("mu.au"));
  run(std::string("sox -n -r 8000 -e floating-point -b 32 -B fl.au ") + synth + " vol 0.3");
  clear_window(cur_win);
  load("fl.au");
  EXPECT_EQ(win().src_type, SC_FLOAT);
  EXPECT_EQ(loaded(), peak_scaled(sox_doubles("fl.au")));
}

TEST_F(PeerTest, HeaderlessSixteenBitBothByteOrders)
{
  run(std::string("sox -n -r 8000 -t raw -e signed -b 16 -B be.raw ") + synth);
  raw_code = SC_S16;
  raw_swap = 1;
  load_file(path("be.raw").c_str(), 1);
  EXPECT_EQ(loaded(), sox_16("be.raw", "-t raw -r 8000 -e signed -b 16 -B"));
  EXPECT_EQ(win().file_type, FT_NOH);
  clear_window(cur_win);
  run(std::string("sox -n -r 8000 -t raw -e signed -b 8 s8.raw ") + synth);
  raw_code = SC_S8;
  raw_swap = 0;
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
