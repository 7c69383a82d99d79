// The command line: the argument vector with its fixed pool, our own
// wildcard expansion, the options, the usage text and the help file.
#include "core/core.h"
#include "files/findfile.h"
#include "core/state.h"
#include "screen/screen.h"
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static char arg_pool[ARG_POOL];
static int pool_used;

const char *const usage_lines[USAGE_LINES] = {
  " ",
  "",
  "   usage:",
  "       tarvo [options] file ...",
  "",
  "   where 'file' is an ILS sampled data file.",
  "",
  "   options:",
  "",
  "       -H      write the help screen to file 'tarvo.hlp'",
  "       -g N    assume graphics adaptor N,",
  "               where N=cga,hgc,ega,vga",
  "       -m      monochrome (no colors)",
  "       -nh     assume no header on input files",
  "       -p N    assume I/O device N,",
  "               where N=dt,lpt,internal,sb,vmk",
  "       -r N    set default sample rate to N/sec",
  "",
};

void reset_argument_pool() { pool_used = 0; }

// Copies text into the pool; nullptr when it does not fit.
static char *pool_store(const char *prefix, const char *text, int length)
{
  int plen = (int)strlen(prefix);
  if (pool_used + plen + length >= ARG_POOL)
    return nullptr;
  char *dst = arg_pool + pool_used;
  memcpy(dst, prefix, plen);
  memcpy(dst + plen, text, length);
  dst[plen + length] = 0;
  pool_used += plen + length + 1;
  return dst;
}

int add_argument(int index, char **argv, const char *start, int length)
{
  if (length >= MAX_ARG_LEN || index >= MAX_ARGS)
    return 0;
  char arg[MAX_ARG_LEN];
  memcpy(arg, start, length);
  arg[length] = 0;
  if (!strpbrk(arg, "*?")) {
    char *stored = pool_store("", arg, length);
    if (!stored)
      return 0;
    argv[index] = stored;
    return 1;
  }
  // A wildcard: each match, behind the pattern's directory part.
  static found_file found[MAX_ARGS];
  int n = find_files(arg, found, MAX_ARGS);
  char dir[MAX_ARG_LEN];
  strcpy(dir, arg);
  char *slash = strrchr(dir, '/');
  char *back = strrchr(dir, '\\');
  if (back > slash) slash = back;
  if (slash) slash[1] = 0; else dir[0] = 0;
  int added = 0;
  for (int i = 0; i < n && index + added < MAX_ARGS; i++) {
    char *stored = pool_store(dir, found[i].name, (int)strlen(found[i].name));
    if (!stored)
      break;
    argv[index + added++] = stored;
  }
  return added;
}

// Bytes below blank and above 0x7F end the command line, as the text it
// came from had them only at its end.
static bool is_control(char c) { return (signed char)c < 0x20; }

int split_command_line(const char *text, char **argv, const char *progname)
{
  reset_argument_pool();
  argv[0] = (char *)progname;
  int count = 1;
  const char *p = text;
  while (*p == ' ') p++;
  if (is_control(*p))
    return count;
  do {
    const char *start;
    int length;
    if (*p == '"') {
      start = ++p;
      while (*p != '"' && !is_control(*p)) p++;
      length = (int)(p - start);
      count += add_argument(count, argv, start, length);
      if (*p == '"') p++;
    } else {
      start = p;
      while (*p != ' ' && !is_control(*p)) p++;
      length = (int)(p - start);
      count += add_argument(count, argv, start, length);
    }
    while (*p == ' ') p++;
  } while (!is_control(*p));
  return count;
}

static void print_usage()
{
  for (const char *line : usage_lines)
    fprintf(stderr, "%s\n", line);
}

void write_help_file(const char *path)
{
  FILE *f = fopen(path, "w");
  if (!f) {
    fprintf(stderr, " can't open file '%s' \n", path);
    exit(1);
  }
  for (const char *line : usage_lines)
    fprintf(f, "%s\n", line);
  fprintf(f, "%s\n", "");
  fprintf(f, "%s\n", "   --------------------------------------------------------------  ");
  fprintf(f, "%s\n", "");
  for (int i = 0; i < 20; i++)
    fprintf(f, "    %s\n", help_lines[i]);
  // A full disk must not pass for a written file.
  bool failed = ferror(f) != 0;
  if (fclose(f) != 0 || failed) {
    fprintf(stderr, " can't write file '%s' \n", path);
    exit(1);
  }
  fprintf(stderr, " TARVO help screen written to '%s' \n", path);
  exit(0);
}

static int adaptor_number(const char *name)
{
  char low[8];
  int i = 0;
  for (; name[i] && i < 7; i++)
    low[i] = (char)tolower((unsigned char)name[i]);
  low[i] = 0;
  if (name[i]) return -1;
  const char *names[] = {"ega", "hgc", "cga", "vga"};
  for (int k = 0; k < 4; k++)
    if (strcmp(low, names[k]) == 0)
      return k;
  return -1;
}

void parse_options(int argc, char **argv)
{
  for (int i = 1; i < argc; i++) {
    const char *a = argv[i];
    if (a[0] != '-') {
      if (num_files < MAX_FILES) {
        snprintf(file_names[num_files], FILE_NAME_LEN, "%s", a);
        num_files++;
      }
      continue;
    }
    bool has_next = i + 1 < argc;
    switch (a[1]) {
    case 'H':
      write_help_file("tarvo.hlp");
      break;
    case 'g':
      if (has_next)
        graphics_adaptor = adaptor_number(argv[++i]);
      break;
    case 'h':
      if (has_next && atoi(argv[i + 1]) > 0)
        header_bytes = atoi(argv[i + 1]);
      if (has_next) i++;
      break;
    case 'm':
      monochrome = 1;
      break;
    case 'n':
      if (a[2] == 'h')
        no_header = 1;
      break;
    case 'p':
      if (has_next) i++;
      break;
    case 'r':
      if (has_next && atoi(argv[i + 1]) > 0)
        default_rate = record_len = atoi(argv[i + 1]);
      if (has_next) i++;
      break;
    default:
      print_usage();
      exit(0);
    }
  }
}
