// Entry point.  The shell has already split the words: each goes through
// the same argument pool and wildcard expansion as one command-line text.
#include "core/core.h"
#include "screen/screen.h"
#include <cstring>

int main(int argc, char **argv)
{
  static char *args[MAX_ARGS];
  int count = 1;
  args[0] = (char *)"Tarvo";
  reset_argument_pool();
  for (int i = 1; i < argc && count < MAX_ARGS; i++)
    count += add_argument(count, args, argv[i], (int)strlen(argv[i]));
  int status = program_main(count, args);
  release_surface();
  return status;
}
