// The analysis menus: Set (settings), Calc (measurements of a segment) and
// Trans (spectrum and prediction-error windows), over the routines of dsp/.
#pragma once

// ---- Set menu (set_menu.cpp) ----
// Most predictor coefficients the commands take.
enum { MAX_LPC_ORDER = 50 };
void set_menu();

// ---- Calc menu (calc_menu.cpp) ----
void calc_menu();

// ---- Trans menu (trans_menu.cpp) ----
void trans_menu();
