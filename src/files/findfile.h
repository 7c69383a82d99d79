// Directory search with wildcards, for the command line and the file box.
#pragma once

enum { FOUND_NAME_LEN = 256 };

struct found_file {
  char name[FOUND_NAME_LEN]; // the entry's name, without its directory
  int is_dir;                // 1 for a directory
};

// The entries of the pattern's directory whose names match its last part
// ('*' and '?'), sorted by name, at most max of them.  Returns the count.
int find_files(const char *pattern, found_file *out, int max);
