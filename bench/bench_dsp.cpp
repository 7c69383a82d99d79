// Timings of the signal-processing routines beside references measured in the
// same run, followed by one summary line per measurement:
//   fft N=256 tarvo_us=... fftw_us=... ratio=...
//   lpc p=50 N=32767 tarvo_us=... loop_us=... ratio=...
//   formants M=32768 tarvo_us=... loop_us=... ratio=...
//
// Each benchmark runs in 9 rounds, the rounds of all of them shuffled
// together, and the summary takes each one's median round: other work on the
// machine then slows Tarvo and its references alike. The times are processor
// times, which leave out the waits for a processor that other programs cause.
//
// fft_real works in place, so each of its iterations first copies the input
// back into the buffer; the time of that copy alone is measured too and taken
// off. FFTW's real transform runs out of place on an unchanged input and needs
// no copy.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "dsp/dsp.h"
#include "dsp/dsp_reference.h"

static const int fft_logs[] = {8, 10, 12, 16, 20};


static void bm_copy(benchmark::State &state)
{
  size_t n = (size_t)state.range(0);
  std::vector<float> input = uniform_noise(n, 1), buf(n);
  for (auto _ : state) {
    memcpy(buf.data(), input.data(), n * sizeof(float));
    benchmark::DoNotOptimize(buf.data());
    benchmark::ClobberMemory();
  }
}

static void bm_fft_tarvo(benchmark::State &state)
{
  size_t n = (size_t)state.range(0);
  std::vector<float> input = uniform_noise(n, 1), buf(n);
  for (auto _ : state) {
    memcpy(buf.data(), input.data(), n * sizeof(float));
    fft_real(buf.data(), (int)n);
    benchmark::DoNotOptimize(buf.data());
    benchmark::ClobberMemory();
  }
}

static void bm_fft_fftw(benchmark::State &state)
{
  int n = (int)state.range(0);
  float *in = fftwf_alloc_real(n);
  fftwf_complex *out = fftwf_alloc_complex(n / 2 + 1);
  std::vector<float> input = uniform_noise(n, 1);
  memcpy(in, input.data(), n * sizeof(float));
  fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
  for (auto _ : state) {
    fftwf_execute(plan);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  fftwf_destroy_plan(plan);
  fftwf_free(in);
  fftwf_free(out);
}

// The autocorrelation and recursion of lpc_autocorr written the plain way:
// one lag at a time over the frame, float sums in the same order.
static int plain_lpc(int n, const float *x, int p, float *a, float *E, float *k, float *r)
{
  for (int lag = 0; lag <= p; lag++) {
    float sum = 0.0f;
    for (int j = 0; j + lag < n; j++)
      sum = sum + x[j + lag] * x[j];
    r[lag] = sum;
  }
  a[0] = 1.0f;
  if (!(r[0] > 0.0f))
    return 1;
  k[0] = -r[1] / r[0];
  a[1] = k[0];
  double err = (double)r[1] * k[0] + r[0];
  for (int i = 2; i <= p; i++) {
    double s = 0.0;
    for (int j = 0; j < i; j++)
      s += (double)a[j] * r[i - j];
    float ki = (float)(-s / err);
    k[i - 1] = ki;
    for (int j = 1; j <= i / 2; j++) {
      double lo = a[j], hi = a[i - j];
      a[i - j] = (float)(hi + ki * lo);
      a[j] = (float)(lo + ki * hi);
    }
    a[i] = ki;
    err += s * ki;
    if (!(err > 0.0))
      return 1;
  }
  *E = (float)err;
  return 0;
}

static const int lpc_p = 50, lpc_n = 32767;

static void bm_lpc(benchmark::State &state)
{
  std::vector<float> x = uniform_noise(lpc_n, 2), block(3 * lpc_p + 3);
  float E;
  bool plain = state.range(0) == 1;
  for (auto _ : state) {
    float *k = block.data(), *a = k + lpc_p + 1, *r = a + lpc_p + 1;
    int rc = plain ? plain_lpc(lpc_n, x.data(), lpc_p, a, &E, k, r)
                   : lpc_autocorr(lpc_n, x.data(), lpc_p, a, &E, k, r);
    benchmark::DoNotOptimize(rc);
    benchmark::ClobberMemory();
  }
}

// find_formants written as a plain loop over the same arithmetic.
static int plain_formants(const float *S, int m, double rate, float *freq, float *bw, int max_count)
{
  float df = (float)(rate / (2.0 * m));
  float df2 = (float)((double)df * df);
  int count = 0, rising = S[2] >= S[1];
  for (int i = 3; i <= m - 2 && count < max_count; i++) {
    if (!rising) {
      rising = S[i] > S[i - 1];
    } else if (S[i] < S[i - 1]) {
      rising = 0;
      float c2 = (float)((S[i] - 2.0 * S[i - 1] + S[i - 2]) / (2.0 * df2));
      float c1 = (float)((S[i] - (double)S[i - 2]) / (2.0 * df));
      double peak = S[i - 1] - (double)c1 * c1 / (4.0 * c2);
      double disc = (double)c1 * c1 - 4.0 * c2 * (S[i - 1] - 0.5 * peak);
      if (c2 < 0.0f && disc >= 0.0) {
        freq[count] = (float)((i - 1) * (double)df - c1 / (2.0 * c2));
        bw[count] = (float)(-sqrt(disc) / c2);
        count++;
      }
    }
  }
  return count;
}

static const int formant_bins = 1 << 15;

// A power spectrum as the Formant command makes it: the inverse of an order-50
// predictor's power response, over 2^15 bins.
static std::vector<float> lpc_power_spectrum()
{
  std::vector<float> x = uniform_noise(lpc_n, 3), block(3 * lpc_p + 3);
  // Colour the noise so that the predictor has resonances to find.
  for (int j = 2; j < lpc_n; j++)
    x[j] += 1.6f * x[j - 1] - 0.9f * x[j - 2];
  float E, *k = block.data(), *a = k + lpc_p + 1, *r = a + lpc_p + 1;
  lpc_autocorr(lpc_n, x.data(), lpc_p, a, &E, k, r);
  int n = 2 * formant_bins;
  std::vector<float> frame(n, 0.0f);
  for (int j = 0; j < lpc_p; j++)
    frame[j] = a[j];
  fft_real(frame.data(), n);
  std::vector<float> S(formant_bins);
  for (int i = 0; i < formant_bins; i++) {
    float P = frame[2 * i] * frame[2 * i] + frame[2 * i + 1] * frame[2 * i + 1];
    S[i] = P > 0.0f ? E / P : E;
  }
  return S;
}

static void bm_formants(benchmark::State &state)
{
  std::vector<float> S = lpc_power_spectrum();
  float freq[25], bw[25];
  bool plain = state.range(0) == 1;
  for (auto _ : state) {
    int count = plain ? plain_formants(S.data(), formant_bins, 10000.0, freq, bw, 25)
                      : find_formants(S.data(), formant_bins, 10000.0, freq, bw, 25);
    benchmark::DoNotOptimize(count);
    benchmark::ClobberMemory();
  }
}

// Keeps each benchmark's median processor time per iteration in microseconds,
// by benchmark name.
// Colour is off so that the summary lines start at the start of the line.
class summary_reporter : public benchmark::ConsoleReporter {
public:
  summary_reporter() : ConsoleReporter(OO_Tabular) {}
  std::map<std::string, double> micros;
  void ReportRuns(const std::vector<Run> &runs) override
  {
    for (const Run &run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        micros[run.run_name.str()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
};

static void print_summary(std::map<std::string, double> &us)
{
  for (int log : fft_logs) {
    std::string n = std::to_string(1 << log);
    double tarvo = us["fft_tarvo/" + n] - us["copy/" + n];
    double fftw = us["fft_fftw/" + n];
    printf("fft N=%s tarvo_us=%.2f fftw_us=%.2f ratio=%.2f\n", n.c_str(), tarvo, fftw,
           tarvo / fftw);
  }
  double lpc = us["lpc/0"], lpc_loop = us["lpc/1"];
  printf("lpc p=%d N=%d tarvo_us=%.2f loop_us=%.2f ratio=%.2f\n", lpc_p, lpc_n, lpc, lpc_loop,
         lpc / lpc_loop);
  double fm = us["formants/0"], fm_loop = us["formants/1"];
  printf("formants M=%d tarvo_us=%.2f loop_us=%.2f ratio=%.2f\n", formant_bins, fm, fm_loop,
         fm / fm_loop);
}

int main(int argc, char **argv)
{
  // TARVO_FFT_KERNEL=0, 1 or 2 times one kernel (dsp.h) instead of the fastest.
  const char *kernel = getenv("TARVO_FFT_KERNEL");
  if (kernel && fft_select_kernel(atoi(kernel)) != 0) {
    fprintf(stderr, "bench_dsp: kernel %s cannot run here\n", kernel);
    return 1;
  }
  for (int log : fft_logs) {
    int n = 1 << log;
    benchmark::RegisterBenchmark("copy", bm_copy)->Arg(n)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("fft_tarvo", bm_fft_tarvo)->Arg(n)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("fft_fftw", bm_fft_fftw)->Arg(n)->Unit(benchmark::kMicrosecond);
  }
  benchmark::RegisterBenchmark("lpc", bm_lpc)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("formants", bm_formants)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
  std::vector<char *> args(argv, argv + argc);
  char rounds[] = "--benchmark_repetitions=9", shuffle[] = "--benchmark_enable_random_interleaving=true",
       least[] = "--benchmark_min_time=0.1", brief[] = "--benchmark_report_aggregates_only=true";
  args.insert(args.begin() + 1, {rounds, shuffle, least, brief});
  argc = (int)args.size();
  argv = args.data();
  benchmark::Initialize(&argc, argv);
  summary_reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  print_summary(reporter.micros);
  benchmark::Shutdown();
  return 0;
}
