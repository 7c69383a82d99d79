// The analysis menus: Set (settings), Calc (measurements of a segment) and
// Trans (spectrum and prediction-error windows), over the routines of dsp/.
#pragma once

#include <cstdint>

struct signal_window;

// ---- Set menu (set_menu.cpp) ----
// Most predictor coefficients the commands take.
enum { MAX_LPC_ORDER = 50 };
void set_menu();
// The predictor order the commands use on a signal of the given rate:
// lpc_order, or rate / 1000 + 2 while lpc_order is unset (below 1).
int predictor_order(int rate);

// ---- Calc menu (calc_menu.cpp) ----
void calc_menu();
// Channel 0 of n frames of window s from frame `from`, one value per frame:
// the window's own storage when it has one channel, else a block gathered
// with the channel stride and left in *gathered for the caller to free.
// NULL when that block cannot be had.
const int16_t *channel_zero(const signal_window *s, long from, long n, int16_t **gathered);

// ---- Trans menu (trans_menu.cpp) ----
extern int fft_max_points; // longest transform length FFT uses (2^30)
// The Trans menu ("T" in the main loop): FFT, LPE and the transform settings.
void trans_menu();
// FFT: a segment of the current window into the clip window as a spectrum.
void fft_command();
// The spectrum and/or LP envelope of the current window's frames between the
// positions in slots f and t, into window d (a spectrum window, kind 1).
void fft_to_window(int d, int f, int t);
// LPE: a copy of the current signal in the clip window, filtered by lpe_filter.
void lpe_command();
// Replaces the frames of window d between slots f and t by their prediction
// error through an adaptive lattice of the order the user gives (1..99).
void lpe_filter(int d, int f, int t);
