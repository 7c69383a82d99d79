// A corpus of damaged files, made here: every reader must refuse or load
// what is there, never read past a buffer or trust a count it did not check.
#include "files/bytes.h"
#include "file_fixture.h"
#include <cmath>
#include <cstring>
#include <random>

typedef void (*reader)(const char *);

struct corpus_entry {
  const char *name;
  reader load;
  bytes file;
};

static bytes le16s(int n, int start)
{
  bytes b;
  for (int i = 0; i < n; i++)
    add_le16(b, (uint16_t)(start + 37 * i));
  return b;
}

static std::vector<corpus_entry> valid_files()
{
  std::vector<corpus_entry> c;
  c.push_back({"wav", load_wav, make_wav(1, 2, 8000, 16, le16s(40, 1))});
  bytes snd;
  add_text(snd, ".snd", 4);
  for (uint32_t v : {28u, 80u, 3u, 8000u, 1u, 0u})
    add_be32(snd, v);
  bytes d = le16s(40, 5);
  snd.insert(snd.end(), d.begin(), d.end());
  c.push_back({"snd", load_snd, snd});
  bytes ils(512, 0);
  put_le16(&ils[10], 1);
  put_le16(&ils[116], 1);
  put_le16(&ils[122], 8000);
  put_le16(&ils[124], (uint16_t)-32000);
  put_le16(&ils[126], 11111);
  memcpy(&ils[128], "BTNI_", 6);
  d = le16s(256, 9);
  ils.insert(ils.end(), d.begin(), d.end());
  bytes table;
  add_le16(table, 1);
  add_le16(table, 100);
  add_zeros(table, 508);
  ils.insert(ils.end(), table.begin(), table.end());
  c.push_back({"ils", load_ils, ils});
  bytes mat;
  for (uint32_t v : {0u, 1u, 1u, 0u, 5u})
    add_le32(mat, v);
  add_text(mat, "rate", 5);
  add_le_double(mat, 8000);
  for (uint32_t v : {30u, 2u, 20u, 0u, 4u})
    add_le32(mat, v);
  add_text(mat, "sig", 4);
  d = le16s(40, 3);
  mat.insert(mat.end(), d.begin(), d.end());
  c.push_back({"mat", load_mat, mat});
  bytes adf;
  add_text(adf, "KOBU40\0\0", 8);
  add_le32(adf, 20);
  add_le32(adf, 0);
  add_le32(adf, 2);
  add_le32(adf, 0);
  add_le_float(adf, 16.0f);
  add_zeros(adf, 516 - 28);
  d = le16s(40, 2);
  adf.insert(adf.end(), d.begin(), d.end());
  c.push_back({"adf", load_adf, adf});
  bytes trn;
  add_text(trn, "TRN", 4);
  for (uint32_t v : {60u, 8000u, 8000u, 0u})
    add_le32(trn, v);
  add_zeros(trn, 128 - 20);
  for (int i = 0; i < 60; i++)
    trn.push_back((uint8_t)(i * 4));
  c.push_back({"trn", load_trn, trn});
  std::string lst = "; rate=8000\n1\n2.5\n-3\n4\n";
  c.push_back({"lst", load_lst, bytes(lst.begin(), lst.end())});
  return c;
}

class BadInputTest : public FileTest {
protected:
  // What any load must leave: a window whose counts fit the file.
  void expect_sane(const std::string &what, size_t file_bytes)
  {
    const signal_window &w = windows[cur_win];
    ASSERT_GE(w.num_samples, 0) << what;
    if (w.num_samples > 0) {
      ASSERT_GE(w.channels, 1) << what;
      ASSERT_LE(w.channels, 8) << what;
      ASSERT_TRUE(w.samples != nullptr) << what;
      // No reader makes more than one value of one byte, except LST text.
      EXPECT_LE((size_t)w.num_samples * w.channels, file_bytes) << what;
    }
  }
  void try_load(const corpus_entry &e, const bytes &b, const std::string &what)
  {
    std::string p = write(std::string("c.") + e.name, b);
    e.load(p.c_str());
    expect_sane(what, b.size());
    clear_window(cur_win);
  }
};

TEST_F(BadInputTest, EveryReaderSurvivesEveryCut)
{
  for (const corpus_entry &e : valid_files()) {
    // Every byte of the headers, then the data more sparsely, and the end.
    for (size_t n = 0; n <= e.file.size(); n += n < 530 || n + 8 > e.file.size() ? 1 : 29)
      try_load(e, bytes(e.file.begin(), e.file.begin() + n), std::string(e.name) + " cut at " + std::to_string(n));
  }
}

TEST_F(BadInputTest, EveryReaderSurvivesRandomDamage)
{
  std::mt19937 rng(20240611);
  for (const corpus_entry &e : valid_files()) {
    for (int round = 0; round < 150; round++) {
      bytes b = e.file;
      int changes = 1 + (int)(rng() % 4);
      for (int k = 0; k < changes; k++) {
        size_t at = rng() % std::min<size_t>(b.size(), 600);
        // Bias toward the values that break counts: 0, all ones, top bits.
        static const uint8_t nasty[] = {0x00, 0xFF, 0x80, 0x7F, 0x01};
        b[at] = rng() % 2 ? nasty[rng() % 5] : (uint8_t)rng();
      }
      try_load(e, b, std::string(e.name) + " round " + std::to_string(round));
    }
  }
}

TEST_F(BadInputTest, FrameCountsThatOverflow32BitsLoadWhatIsThere)
{
  bytes adf;
  add_text(adf, "KOBU40\0\0", 8);
  add_le32(adf, 0x7FFFFFFF);
  add_le32(adf, 0);
  add_le32(adf, 8);
  add_le32(adf, 0);
  add_le_float(adf, 8.0f);
  add_zeros(adf, 516 - 28);
  bytes d = le16s(80, 0);
  adf.insert(adf.end(), d.begin(), d.end());
  load_file(write("big.adf", adf).c_str(), 0);
  EXPECT_EQ(win().num_samples, 10);
  EXPECT_EQ(win().channels, 8);
  EXPECT_EQ(value(79), (int16_t)(37 * 79));

  bytes mat;
  for (uint32_t v : {30u, 1u, 0x7FFFFFFFu, 0u, 2u})
    add_le32(mat, v);
  add_text(mat, "x", 2);
  mat.insert(mat.end(), d.begin(), d.end());
  clear_window(cur_win);
  messages();
  load_file(write("big.mat", mat).c_str(), 0);
  EXPECT_EQ(win().num_samples, 80);
  for (const std::string &m : messages())
    EXPECT_EQ(m.find("Truncating"), std::string::npos) << m;
}

TEST_F(BadInputTest, ValuesAcrossBlockBoundaries)
{
  // Headerless 16-bit data one byte short of, at and past block multiples,
  // with an odd header so that values straddle the 1 KiB blocks.
  raw_header = 1;
  for (int size : {1023, 1024, 1025, 2047, 2048, 2049, 3073}) {
    bytes b(1, 0xEE);
    bytes v = le16s(size / 2 + 1, -500);
    b.insert(b.end(), v.begin(), v.begin() + (size - 1));
    load_plain(write("raw", b).c_str());
    ASSERT_EQ(win().num_samples, (size - 1) / 2) << size;
    for (int i = 0; i < win().num_samples; i++)
      ASSERT_EQ(value(i), (int16_t)get_le16(&v[2 * i])) << size << " at " << i;
    clear_window(cur_win);
  }
  // 24-bit data read in 1023-byte blocks.
  bytes d24;
  for (int i = 0; i < 700; i++) {
    d24.push_back(0x55);
    add_le16(d24, (uint16_t)(i * 91 - 30000));
  }
  load_file(write("x24.wav", make_wav(1, 1, 8000, 24, d24)).c_str(), 0);
  ASSERT_EQ(win().num_samples, 700);
  for (int i = 0; i < 700; i++)
    ASSERT_EQ(value(i), (int16_t)(i * 91 - 30000)) << i;
}

TEST_F(BadInputTest, FloatPeakInTheLastPartialBlockCounts)
{
  // 300 floats: one full 1 KiB block, then a partial one holding the peak.
  bytes d;
  for (int i = 0; i < 300; i++)
    add_le_float(d, i == 290 ? -4.0f : 0.5f);
  load_file(write("peak.wav", make_wav(3, 1, 8000, 32, d)).c_str(), 0);
  ASSERT_EQ(win().num_samples, 300);
  EXPECT_EQ(value(290), -32767);
  EXPECT_EQ(value(0), 4095);
}

TEST_F(BadInputTest, ChunkWalkStopsAtTheEnd)
{
  // A chunk whose size reaches past the file, and one of size 0xFFFFFFFF.
  for (uint32_t size : {0xFFFFFFFFu, 0xFFFFFFF0u, 1000u}) {
    bytes b = make_wav(1, 1, 8000, 16, le16s(4, 0));
    bytes junk;
    add_text(junk, "junk", 4);
    add_le32(junk, size);
    b.insert(b.begin() + 36, junk.begin(), junk.end());
    load_wav(write("walk.wav", b).c_str());
    EXPECT_TRUE(showed(" Error reading WAV file header. ")) << size;
    EXPECT_EQ(win().num_samples, 0);
  }
}
