// References for the numerics tests and benchmarks: the DFT in double, one bin
// at a time, and uniform noise.
#pragma once
#include <cmath>
#include <complex>
#include <random>
#include <vector>

const double ref_pi = 3.14159265358979323846;
using cplx = std::complex<double>;

// X[k] = sum x[j] e^(-2 pi i jk/n), with jk reduced mod n.
inline cplx dft_bin(const std::vector<float> &x, size_t k)
{
  size_t n = x.size();
  cplx sum = 0.0;
  for (size_t j = 0, t = 0; j < n; j++, t = (t + k) % n)
    sum += (double)x[j] * std::polar(1.0, -2.0 * ref_pi * (double)t / (double)n);
  return sum;
}

inline std::vector<float> uniform_noise(size_t n, unsigned seed)
{
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  std::vector<float> x(n);
  for (float &v : x)
    v = dist(gen);
  return x;
}
