// Double-precision references for the numerics tests: a direct DFT and the
// normal equations of linear prediction solved by Gaussian elimination.
#pragma once
#include <cmath>
#include <complex>
#include <random>
#include <vector>

const double ref_pi = 3.14159265358979323846;
using cplx = std::complex<double>;

// X[k] = sum x[j] e^(-2 pi i jk/n) for k = 0..n/2, summed in double.
inline std::vector<cplx> direct_dft(const std::vector<float> &x)
{
  size_t n = x.size();
  std::vector<cplx> w(n), out(n / 2 + 1);
  for (size_t t = 0; t < n; t++)
    w[t] = std::polar(1.0, -2.0 * ref_pi * (double)t / (double)n);
  for (size_t k = 0; k <= n / 2; k++)
    for (size_t j = 0, t = 0; j < n; j++, t = t + k >= n ? t + k - n : t + k)
      out[k] += (double)x[j] * w[t];
  return out;
}

// One bin of the DFT in double, for transforms too long for direct_dft.
inline cplx dft_bin(const std::vector<float> &x, size_t k)
{
  size_t n = x.size();
  cplx sum = 0.0;
  for (size_t j = 0; j < n; j++)
    sum += (double)x[j] * std::polar(1.0, -2.0 * ref_pi * (double)((j * k) % n) / (double)n);
  return sum;
}

// Predictor a[0..p] (a[0] = 1) from sum_j a[j] r[|i-j|] = -r[i], i = 1..p,
// by Gaussian elimination with partial pivoting.
inline std::vector<double> normal_equations(const std::vector<double> &r, int p)
{
  std::vector<std::vector<double>> A(p, std::vector<double>(p + 1));
  for (int i = 0; i < p; i++) {
    for (int j = 0; j < p; j++)
      A[i][j] = r[abs(i - j)];
    A[i][p] = -r[i + 1];
  }
  for (int c = 0; c < p; c++) {
    int piv = c;
    for (int i = c + 1; i < p; i++)
      if (fabs(A[i][c]) > fabs(A[piv][c]))
        piv = i;
    std::swap(A[c], A[piv]);
    for (int i = c + 1; i < p; i++)
      for (int j = p; j >= c; j--)
        A[i][j] -= A[i][c] / A[c][c] * A[c][j];
  }
  std::vector<double> a(p + 1, 1.0);
  for (int i = p - 1; i >= 0; i--) {
    a[i + 1] = A[i][p];
    for (int j = i + 1; j < p; j++)
      a[i + 1] -= A[i][j] * a[j + 1];
    a[i + 1] /= A[i][i];
  }
  return a;
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
