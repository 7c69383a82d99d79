// Path operations of the file box and the command line.
#include "files/files.h"
#include <cstdio>
#include <cstring>
#include <unistd.h>

void trim_trailing_spaces(char *text)
{
  size_t n = strlen(text);
  while (n > 0 && text[n - 1] == ' ')
    text[--n] = 0;
}

int change_dir(const char *path)
{
  // Drive letters ("C:rest") exist only on some platforms; here the drive
  // part is dropped and the rest is the directory.
  if (strlen(path) >= 3 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
    path += 2;
  return chdir(path) == 0 ? 0 : 1;
}

int path_folder_length(const char *path)
{
  int cut = -1;
  for (int i = 1; path[i]; i++)
    if (path[i] == '/' || path[i] == '\\' || path[i] == ':')
      cut = i;
  return cut + 1;
}

int split_path(char *out, const char *path)
{
  int cut = path_folder_length(path) - 1;
  if (cut < 0) {
    snprintf(out, FILE_PATH_LEN, "%s", path);
    return 0;
  }
  char dir[FILE_PATH_LEN];
  snprintf(dir, sizeof dir, "%.*s", cut + 1, path);
  int moved = change_dir(dir) == 0 ? 1 : -1;
  snprintf(out, FILE_PATH_LEN, "%s", path + cut + 1);
  return moved;
}
