// Signal-processing routines shared by the analysis commands: analysis
// frames, the real FFT, decibel conversions, linear prediction, the adaptive
// lattice error filter and the formant peak picker.
//
// The routines own no memory and show no messages: the caller allocates every
// array, and failures come back as result codes. Frames and results are
// floats; running sums are formed in double unless a routine says otherwise.
#pragma once
#include <cstdint>

// Analysis window types (the values of the lpc_window setting).
enum { WINDOW_RECTANGULAR = 0, WINDOW_HAMMING = 1, WINDOW_BLACKMAN = 2 };

// Longest transform fft_real accepts: 2^30 points.
enum { FFT_MAX_LOG = 30 };

// Fills out[0..n-1] from n stored samples: offset removed (or a first
// difference when emphasis is set), then the analysis window of window_type.
void prepare_frame(float *out, const int16_t *s, int n, int zero_level, int emphasis,
                   int window_type);

// Multiplies x[0..n-1] by a rectangular, Hamming or Blackman window spanning all n.
void apply_window(float *x, int n, int window_type);

// Unnormalised real FFT of n = 2^1..2^30 points in place into the packed layout:
// b[0] DC, b[1] Nyquist, then re/im of bins 1..n/2-1. Returns 1 for any other n.
int fft_real(float *b, int n);

// The kernels fft_real can run: the in-place radix-4 FFT in vectors of four
// floats, for every length on any processor, and the self-sorting FFT for
// AVX2 and FMA, for 2^6..2^20 points (the others still go the first way).
enum { FFT_KERNEL_SSE2 = 0, FFT_KERNEL_AVX2 = 1, FFT_KERNEL_COUNT = 2 };

// Makes fft_real run `kernel` from now on; returns 1, changing nothing, for an
// unknown kernel or one this processor cannot run. Without a call fft_real
// takes the fastest the processor has.
int fft_select_kernel(int kernel);

// fft_real's AVX2 kernel, for n = 2^log; returns 1, touching nothing, for a
// length it does not take. Only for processors with AVX2 and FMA.
int fft_real_avx2(float *b, int log);

// 20*log10(x), floored at -80 dB for x <= 0.0001 and for NaN.
double to_db(double x);

// Turns a packed spectrum of n = 2m floats into m+1 dB levels b[0..m] in place;
// returns the sum of the levels.
double spectrum_db(float *b, int m);

// Stores floor((x[i]-offset)*scale+0.5), clipped to 16 bits, at out[first + i*stride].
void db_to_samples(const float *x, int16_t *out, int count, int first, int stride, double scale,
                   double offset);

// Linear prediction of order p by the autocorrelation method (Levinson-Durbin):
// fills a[0..p], k[0..p-1], r[0..p] and *E. Returns 1 when the recursion breaks down.
int lpc_autocorr(int n, const float *x, int p, float *a, float *E, float *k, float *r);

// Passes one sample through a p-stage adaptive lattice with state[0..p];
// returns the forward prediction error.
int lattice_error(int x, int p, float *state);

// Finds the peaks of the power spectrum S[0..m-1] (bins rate/(2m) Hz apart),
// storing at most max_count frequencies and bandwidths in Hz; returns the count.
int find_formants(const float *S, int m, double rate, float *freq, float *bw, int max_count);
