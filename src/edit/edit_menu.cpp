// The Edit menu.  Its Mark item opens the MARK menu; the editing commands
// that work through the clip window are still to come.
#include "edit/edit.h"
#include "screen/screen.h"

void edit_menu()
{
  static const char *const items[] = {
    "cuT", "Copy", "Delete", "Paste", "Replace", "Silence", "Mark", "Value", "eXtend", "",
  };
  switch (menu_select("EDIT", items)) {
  case 'M': mark_menu(); break;
  case 'T': case 'C': case 'D': case 'P': case 'R': case 'S': case 'V': case 'X':
    not_implemented();
    break;
  }
}
