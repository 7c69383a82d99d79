// The real FFT against the DFT in double, and the lengths it refuses.
#include <gtest/gtest.h>

#include <climits>
#include <numeric>

#include "dsp/dsp.h"
#include "dsp_reference.h"

// Every kernel the processor can run, every bin up to 2^12 points; spot bins
// and Parseval beyond, where the radix-4 kernel recurses by quarters (2^21 lies
// past the cached twiddles and the self-sorting kernels). Errors count in float
// roundings (2^-24) times the input's norm: a few per pass are allowed, while a
// wrong twiddle or a misplaced value costs millions. Other lengths and unknown
// kernels are refused, the buffer untouched.
TEST(DspFft, EveryKernelMatchesDftInDoubleKeepsParsevalAndRefusesOtherLengths)
{
  for (int kernel = 0; kernel < FFT_KERNEL_COUNT; kernel++)
  for (int log : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 16, 20, 21}) {
    if (fft_select_kernel(kernel) != 0) {
      EXPECT_EQ(kernel, FFT_KERNEL_AVX2) << "only the AVX2 kernel may be missing";
      break;
    }
    size_t n = (size_t)1 << log, h = n / 2;
    std::vector<float> x = uniform_noise(n, 17 + log), b = x;
    ASSERT_EQ(fft_real(b.data(), (int)n), 0);
    double energy = std::inner_product(x.begin(), x.end(), x.begin(), 0.0), worst = 0.0;
    double power = 2.0 * std::inner_product(b.begin(), b.end(), b.begin(), 0.0) - b[0] * b[0] - b[1] * b[1];
    EXPECT_NEAR(power / (double)n, energy, 1e-5 * energy) << "n=" << n << " kernel " << kernel;
    for (size_t k = 0; k <= h; k++) {
      if (n > 4096 && k > 3 && k != n / 8 + 5 && k != h / 2 && k != h / 2 + 1 && k + 3 < h)
        continue;
      cplx X = dft_bin(x, k);
      // Packed: b[0] DC, b[1] Nyquist, then re/im of bins 1..n/2-1.
      worst = std::max(worst, fabs(b[k == h ? 1 : 2 * k] - X.real()));
      if (k > 0 && k < h)
        worst = std::max(worst, fabs(b[2 * k + 1] - X.imag()));
    }
    EXPECT_LT(worst / (5.96e-8 * sqrt(energy)), 2.0 * log) << "n=" << n << " kernel " << kernel;
  }
  EXPECT_EQ(fft_select_kernel(-1) + fft_select_kernel(FFT_KERNEL_COUNT), 2);
  std::vector<float> ramp(16), b(16);
  std::iota(ramp.begin(), ramp.end(), 0.0f);
  for (int n : {0, 1, -1, -2, 3, 6, 1000, 1023, 1025, (1 << 30) - 1, (1 << 30) + 1, INT_MAX, INT_MIN}) {
    b = ramp;
    EXPECT_EQ(fft_real(b.data(), n), 1) << n;
    EXPECT_EQ(b, ramp) << "n=" << n << " touched the buffer";
  }
}
