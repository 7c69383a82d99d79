// Scroll mode.
#include "display/display.h"
#include "edit/edit.h"

// Until scroll mode lands: only puts the cursor back on the screen.
void enter_scroll() { goto_position(cursor); }
