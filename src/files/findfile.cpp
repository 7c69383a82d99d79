// Directory search with wildcards.
#include "files/findfile.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fnmatch.h>
#include <string>
#include <vector>
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
  // Every match is collected and sorted before the first max are kept, so
  // that a caller asking for fewer than there are always gets the same ones.
  std::vector<found_file> all;
  while (struct dirent *e = readdir(d)) {
    if (strlen(e->d_name) >= FOUND_NAME_LEN || fnmatch(name_pat.c_str(), e->d_name, 0) != 0)
      continue;
    found_file f;
    snprintf(f.name, FOUND_NAME_LEN, "%s", e->d_name);
    struct stat st;
    std::string full = dir + "/" + e->d_name;
    f.is_dir = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    all.push_back(f);
  }
  closedir(d);
  std::sort(all.begin(), all.end(), [](const found_file &a, const found_file &b) { return strcmp(a.name, b.name) < 0; });
  int n = std::min((int)all.size(), max);
  std::copy(all.begin(), all.begin() + n, out);
  return n;
}
