// Directory search with wildcards.
#include "core/findfile.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fnmatch.h>
#include <string>
#include <sys/stat.h>

int find_files(const char *pattern, found_file *out, int max)
{
  std::string pat(pattern);
  size_t cut = pat.find_last_of('/');
  std::string dir = cut == std::string::npos ? "." : pat.substr(0, cut + 1);
  std::string name_pat = cut == std::string::npos ? pat : pat.substr(cut + 1);
  DIR *d = opendir(dir.c_str());
  if (!d)
    return 0;
  int n = 0;
  while (struct dirent *e = readdir(d)) {
    if (n >= max)
      break;
    if (strlen(e->d_name) >= FOUND_NAME_LEN || fnmatch(name_pat.c_str(), e->d_name, 0) != 0)
      continue;
    snprintf(out[n].name, FOUND_NAME_LEN, "%s", e->d_name);
    struct stat st;
    std::string full = dir + "/" + e->d_name;
    out[n].is_dir = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    n++;
  }
  closedir(d);
  std::sort(out, out + n, [](const found_file &a, const found_file &b) { return strcmp(a.name, b.name) < 0; });
  return n;
}
