// Start-up, the command line and the main loop.
#pragma once

enum {
  MAX_ARGS = 40,     // entries of the argument vector, the program name included
  ARG_POOL = 2000,   // bytes holding the arguments' texts
  MAX_ARG_LEN = 200, // an argument this long or longer is dropped
  USAGE_LINES = 18,
};

extern const char *const usage_lines[USAGE_LINES];

// Splits one command-line text into argv (wildcards expanded); returns argc.
int split_command_line(const char *text, char **argv, const char *progname);
// Stores one argument (or the files its wildcard matches) from argv[index]
// on; returns the number of entries added.
int add_argument(int index, char **argv, const char *start, int length);
// Resets the argument pool (split_command_line does it itself).
void reset_argument_pool();
void parse_options(int argc, char **argv);
void write_help_file(const char *path);
void check_file_names();
void load_start_files();
void main_step();
void shutdown();
int program_main(int argc, char **argv);
