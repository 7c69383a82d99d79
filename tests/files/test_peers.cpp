// Files made by tools this project did not write (SoX, SciPy), loaded by
// Tarvo and compared value for value with what those tools read back; and
// the same tools reading what Tarvo writes in each format.
#include "support/support.h"
#include <cmath>

enum { FLOAT_PEAK = -1, INT32_SHIFT = -2 };

struct PeerTest : FileTest {};

TEST_F(PeerTest, FilesOfOtherToolsLoadValueForValue)
{
  const std::string py = "/usr/bin/python3";
  if (system("sox --version >/dev/null 2>&1") != 0 || system((py + " -c 'import scipy.io' 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "sox or SciPy is not installed";
  auto run = [](const std::string &cmd) { ASSERT_EQ(system(cmd.c_str()), 0) << cmd; };
  // make: sox's options, or the NumPy expression of the MAT file's signal;
  // rate: 0 none given; shift: low bits of the peer's values that Tarvo drops.
  // SoX makes 2401 frames at 8000 Hz, so that an 8-bit WAV file written back needs its pad byte.
  struct { const char *file, *make; int rate, channels, code, shift; } cases[] = {
    {"m16.wav", "-b 16 -e signed", 16000, 1, SC_S16, 16}, {"s16.wav", "-b 16 -c 2", 22050, 2, SC_S16, 16},
    {"u8.wav", "-b 8 -e unsigned", 8000, 1, SC_U8, 24}, {"x24.wav", "-b 24", 16000, 1, SC_S24, 16},
    {"f32.wav", "-e floating-point -b 32", 16000, 1, SC_FLOAT, FLOAT_PEAK},
    {"i32.wav", "-b 32 -e signed", 16000, 1, SC_S32, INT32_SHIFT},
    {"be.au", "-b 16 -e signed -B", 8000, 1, SC_S16, 16}, {"le.au", "-b 16 -e signed -L", 8000, 1, SC_S16, 16},
    {"mu.au", "-e mu-law -b 8", 8000, 1, SC_MULAW, 16}, {"fl.au", "-e floating-point -b 32 -B", 8000, 1, SC_FLOAT, FLOAT_PEAK},
    // Headerless: sox is told the layout, as Tarvo is.
    {"be.raw", "-t raw -e signed -b 16 -B", 8000, 1, SC_S16, 16},
    {"s8.raw", "-t raw -e signed -b 8", 8000, 1, SC_S8, 24},
    {"d.mat", "np.sin(t / 7.0) * 0.3", 16000, 1, SC_DOUBLE, FLOAT_PEAK},
    {"f.mat", "(np.sin(t / 5.0) * 2.5).astype(np.float32)", 0, 1, SC_FLOAT, FLOAT_PEAK},
    {"i16.mat", "(np.sin(t / 9.0) * 30000).astype(np.int16)", 0, 1, SC_S16, 0},
    {"rows.mat", "np.vstack([t % 100 - 9 * c for c in range(8)]).astype(np.int16)", 8000, 8, SC_S16, 0}, // rows are channels
    {"u8.mat", "(t % 256).astype(np.uint8)", 0, 1, SC_U8, 0},
    {"u16.mat", "(t * 30).astype(np.uint16)", 0, 1, SC_U16, 1}, // the peak passes 32767
  };
  for (auto &c : cases) {
    bool raw = strstr(c.file, ".raw"), mat = strstr(c.file, ".mat"), floats = c.shift == FLOAT_PEAK;
    std::string rate = std::to_string(c.rate), layout = "-r " + rate + " " + c.make;
    if (mat) { // SciPy writes the file and reads it back as doubles or 32-bit integers
      std::ofstream("mk.py") << "import numpy as np, scipy.io as sio\nt = np.arange(2000)\n"
                             << "sio.savemat('" << c.file << "', {" << (c.rate ? "'rate': np.array([[" + rate + ".0]]), " : "")
                             << "'sig': " << c.make << "}, format='4')\n"
                             << "m = sio.loadmat('" << c.file << "')['sig'].flatten(order='F')\n"
                             << "m.astype('<f8' if m.dtype.kind == 'f' else '<i4').tofile('ref.raw')\n";
      run(py + " mk.py");
    } else {
      run("sox -n " + layout + " " + c.file + " synth 0.3001 sine 200-3000 sine 440 remix - vol 0.9");
      run("sox " + (raw ? layout : "") + " " + c.file + " -t raw -L " +
          (floats ? "-e floating-point -b 64" : "-e signed -b 32") + " ref.raw");
    }
    bytes b = bytes_of(read_file("ref.raw"));
    std::vector<double> peer;
    for (size_t i = 0, step = floats ? 8 : 4; i + step <= b.size(); i += step)
      peer.push_back(floats ? get_le_double(&b[i]) : (int32_t)get_le32(&b[i]));
    ASSERT_GE(peer.size(), 2000u) << c.file;
    auto [lo, hi] = std::minmax_element(peer.begin(), peer.end());
    // Floats are scaled to their peak; integers lose low bits, and SoX reads
    // unsigned 8-bit data as signed.
    int shift = c.shift == INT32_SHIFT ? shift_to_16((int64_t)*lo, (int64_t)*hi) : c.shift;
    double peak = std::max(-*lo, *hi);
    std::vector<int> ref;
    for (double x : peer)
      ref.push_back(floats ? (int)std::trunc(x * (32767.0 / peak)) : ((int32_t)x >> shift) + (c.code == SC_U8 && !mat ? 128 : 0));
    clear_window(cur_win);
    raw_code = c.code;
    raw_swap = strstr(c.make, "-B") != nullptr;
    load_file(path(c.file).c_str(), raw);
    EXPECT_EQ(std::vector({(int)win().file_type, (int)win().src_type, (int)win().adc_rate, (int)win().channels}),
              std::vector({(int)(raw ? FT_NOH : mat ? FT_MAT : strstr(c.file, ".au") ? FT_SND : FT_WAV), c.code,
                           raw || !c.rate ? default_rate : c.rate, c.channels})) << c.file;
    EXPECT_EQ(values(win().num_samples * win().channels), ref) << c.file;
    // Tarvo writes the window in the same format (16-bit values, or bytes
    // from an 8-bit window), and the peer reads it back.
    bool bytes8 = !mat && stretch_is_bytes(0, win().num_samples);
    const char *back = raw ? "back.raw" : mat ? "back.mat" : strstr(c.file, ".au") ? "back.au" : "back.wav";
    ASSERT_EQ((raw ? save_noh : mat ? save_mat : strstr(c.file, ".au") ? save_snd : save_wav)(back, 0, win().num_samples), 1);
    if (mat)
      run(py + " -c \"import scipy.io as s; s.loadmat('back.mat')['W1'].T.ravel().astype('<i4').tofile('ref.raw')\"");
    else
      run("sox " + std::string(raw ? "-t raw -r 8000 -e signed -b 16 -L -c 1 " : "") + back + " -t raw -L -e signed -b 32 ref.raw");
    b = bytes_of(read_file("ref.raw"));
    ref.clear();
    for (size_t i = 0; i + 4 <= b.size(); i += 4)
      ref.push_back(mat ? (int32_t)get_le32(&b[i]) : bytes8 ? ((int32_t)get_le32(&b[i]) >> 24) + 128 : (int32_t)get_le32(&b[i]) >> 16);
    EXPECT_EQ(values(win().num_samples * win().channels), ref) << back << " from " << c.file;
  }
}
