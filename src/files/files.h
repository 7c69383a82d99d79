// Signal files: file types and sample encodings, the loaders, the file
// selection box and the signal information line.
#pragma once
#include <cstdint>

enum { NUM_FILE_TYPES = 11, HEADER_AREA_SIZE = 1024 };
enum { FILE_PATH_LEN = 256 }; // bytes of a path or base name, terminator included
enum { FT_ILS = 0, FT_C, FT_TRN, FT_LST, FT_PLT, FT_SND, FT_NOH, FT_MAT, FT_WAV, FT_TOK, FT_ADF };

extern const char *const file_type_names[NUM_FILE_TYPES];
extern const char *const file_extensions[NUM_FILE_TYPES];
extern int cur_file_type;                       // type of the last load or of the save-type menu
extern uint8_t header_area[HEADER_AREA_SIZE];   // shared by one file operation at a time

// File type 0..10 of a file, or -1 when it cannot be opened or is empty.
int detect_file_type(const char *name);
// Loads a file into the current window; an empty name asks for one.
void load_file(const char *name, int force_raw);
// The information line of window w.
void show_signal_info(int w);

// Path helpers of the file box and the command line.
void trim_trailing_spaces(char *text);
int change_dir(const char *path);
// Makes the path's directory current and puts its base name in out, which
// holds FILE_PATH_LEN bytes (a long name is kept whole: cutting it would
// name another file).
void split_path(char *out, const char *path);

// File selection box: lets the user pick a name; returns with name empty
// when the user escaped.
void file_box(const char *prompt, char *name, int maxlen);
