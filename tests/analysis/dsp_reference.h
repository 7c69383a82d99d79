// Independent double-precision references for the signal-processing tests:
// a direct DFT, Gaussian elimination, and the power spectrum of an all-pole
// filter given by its poles.
#pragma once
#include <cmath>
#include <complex>
#include <random>
#include <vector>

const double ref_pi = 3.14159265358979323846;

// X[k] = sum x[j] e^(-2 pi i jk/n) for k = 0..n/2, summed in double.
inline std::vector<std::complex<double>> direct_dft(const std::vector<float> &x)
{
  size_t n = x.size();
  std::vector<double> c(n), s(n);
  for (size_t t = 0; t < n; t++) {
    c[t] = cos(2.0 * ref_pi * (double)t / (double)n);
    s[t] = sin(2.0 * ref_pi * (double)t / (double)n);
  }
  std::vector<std::complex<double>> out(n / 2 + 1);
  for (size_t k = 0; k <= n / 2; k++) {
    double re = 0.0, im = 0.0;
    size_t t = 0;
    for (size_t j = 0; j < n; j++) {
      re += x[j] * c[t];
      im -= x[j] * s[t];
      t += k;
      if (t >= n)
        t -= n;
    }
    out[k] = {re, im};
  }
  return out;
}

// One bin of the DFT in double, for transforms too long for direct_dft.
inline std::complex<double> dft_bin(const std::vector<float> &x, size_t k)
{
  size_t n = x.size();
  double re = 0.0, im = 0.0;
  for (size_t j = 0; j < n; j++) {
    double angle = 2.0 * ref_pi * (double)((j * k) % n) / (double)n;
    re += x[j] * cos(angle);
    im -= x[j] * sin(angle);
  }
  return {re, im};
}

// Solves A x = b (A row-major, n x n) by Gaussian elimination with partial pivoting.
inline std::vector<double> gauss_solve(std::vector<double> A, std::vector<double> b)
{
  size_t n = b.size();
  for (size_t col = 0; col < n; col++) {
    size_t piv = col;
    for (size_t row = col + 1; row < n; row++)
      if (fabs(A[row * n + col]) > fabs(A[piv * n + col]))
        piv = row;
    for (size_t j = 0; j < n; j++)
      std::swap(A[col * n + j], A[piv * n + j]);
    std::swap(b[col], b[piv]);
    for (size_t row = col + 1; row < n; row++) {
      double f = A[row * n + col] / A[col * n + col];
      for (size_t j = col; j < n; j++)
        A[row * n + j] -= f * A[col * n + j];
      b[row] -= f * b[col];
    }
  }
  std::vector<double> x(n);
  for (size_t i = n; i-- > 0;) {
    double s = b[i];
    for (size_t j = i + 1; j < n; j++)
      s -= A[i * n + j] * x[j];
    x[i] = s / A[i * n + i];
  }
  return x;
}

// Predictor a[1..p] (a[0] = 1) of the autocorrelation method, from the normal
// equations sum_j a[j] r[|i-j|] = -r[i], i = 1..p, solved directly.
inline std::vector<double> normal_equations(const std::vector<double> &r, int p)
{
  std::vector<double> A((size_t)p * p), b(p);
  for (int i = 0; i < p; i++) {
    for (int j = 0; j < p; j++)
      A[(size_t)i * p + j] = r[abs(i - j)];
    b[i] = -r[i + 1];
  }
  std::vector<double> sol = gauss_solve(A, b);
  std::vector<double> a(p + 1);
  a[0] = 1.0;
  for (int i = 0; i < p; i++)
    a[i + 1] = sol[i];
  return a;
}

// A resonance of an all-pole filter: centre frequency and 3 dB bandwidth in Hz.
struct resonance {
  double freq, bw;
};

// Coefficients c[0..2q] (c[0] = 1) of prod (1 - z_i/z)(1 - conj(z_i)/z) with
// z_i = e^(-pi B/fs) e^(2 pi i F/fs), multiplied out in double.
inline std::vector<double> pole_polynomial(const std::vector<resonance> &res, double fs)
{
  std::vector<double> c = {1.0};
  for (const resonance &r : res) {
    double radius = exp(-ref_pi * r.bw / fs);
    double theta = 2.0 * ref_pi * r.freq / fs;
    double quad[3] = {1.0, -2.0 * radius * cos(theta), radius * radius};
    std::vector<double> next(c.size() + 2, 0.0);
    for (size_t i = 0; i < c.size(); i++)
      for (int j = 0; j < 3; j++)
        next[i + j] += c[i] * quad[j];
    c = next;
  }
  return c;
}

// 1 / |prod over poles (1 - z_i e^(-iw))|^2 at w = pi k/m, k = 0..m-1.
inline std::vector<float> all_pole_power(const std::vector<resonance> &res, double fs, int m)
{
  std::vector<float> S(m);
  for (int k = 0; k < m; k++) {
    std::complex<double> e = std::polar(1.0, -ref_pi * k / m), g = 1.0;
    for (const resonance &r : res) {
      std::complex<double> z = std::polar(exp(-ref_pi * r.bw / fs), 2.0 * ref_pi * r.freq / fs);
      g *= (1.0 - z * e) * (1.0 - std::conj(z) * e);
    }
    S[k] = (float)(1.0 / std::norm(g));
  }
  return S;
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
