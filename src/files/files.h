// Signal files: file types and sample encodings, the loaders, the file
// selection box and the signal information line.
#pragma once
#include <cstdint>
#include <cstdio>

enum { NUM_FILE_TYPES = 11, HEADER_AREA_SIZE = 1024 };
enum { FILE_PATH_LEN = 256 }; // bytes of a path or base name, terminator included
enum { FT_ILS = 0, FT_C, FT_TRN, FT_LST, FT_PLT, FT_SND, FT_NOH, FT_MAT, FT_WAV, FT_TOK, FT_ADF };

// Sample codes: how one stored value is encoded.  0..7 follow the SND
// encoding numbers; 8 is the 16-bit unsigned data of some MAT files.
enum {
  SC_U8 = 0, SC_MULAW, SC_S8, SC_S16, SC_S24, SC_S32, SC_FLOAT, SC_DOUBLE, SC_U16,
  NUM_SAMPLE_CODES
};

extern const char *const file_type_names[NUM_FILE_TYPES];
extern const char *const file_extensions[NUM_FILE_TYPES];
extern const int sample_sizes[NUM_SAMPLE_CODES]; // bytes per stored value of each sample code
extern int cur_file_type;                       // type of the last load or of the save-type menu
extern uint8_t header_area[HEADER_AREA_SIZE];   // shared by one file operation at a time

// Layout of headerless files, set by Custom_load and the -h option.
extern int raw_header;  // bytes skipped at the start
extern int raw_trailer; // bytes ignored at the end
extern int raw_code;    // sample code of the values
extern int raw_swap;    // 1 = values in reverse byte order

// Set by a reader that restored the window's marks from the file, so that
// finish_load leaves them as they were stored.
extern int marks_from_file;

// File type 0..10 of a file, or -1 when it cannot be opened or is empty.
int detect_file_type(const char *name);
// Byte order an SND magic announces: 1 big-endian, 0 little-endian, -1 not SND.
int snd_byte_order(const uint8_t *magic);
// G.711 mu-law expansion of one byte.
int mulaw_to_linear(uint8_t byte);
// Sets min_value, max_value, adc_bits and zero_level of window w from its values.
void guess_format(int w);
// What the format guess needs of a run of values, gathered as they come.
struct value_stats {
  int lo, hi;    // smallest and largest value
  int64_t sum;   // sum of the values
  int64_t count; // values seen; 0 = none yet
};
void add_value_stats(value_stats *s, const int16_t *v, int64_t n);
// The format guess from gathered statistics.
void apply_format_guess(int w, const value_stats *s);
// Converts window w to `bits` and `zero`; asks first when `ask` is set.  1 when converted.
int reformat_signal(int w, int bits, int zero, int ask);
// Converts n stored values (already in little-endian order) of sample code
// `code` into 16-bit values: floats are multiplied by `scale`, 32-bit and
// 16-bit unsigned integers shifted right by `shift` bits.
void convert_values(int code, const uint8_t *src, int n, int16_t *dst, double scale, int shift);
// A float times a scale, truncated toward zero and kept within 16 bits; NaN gives 0.
int16_t scale_to_16(double v, double scale);
// Fewest bits of right shift that bring lo..hi into the 16-bit range.
int shift_to_16(int64_t lo, int64_t hi);

// Loads a file into the current window; an empty name asks for one.
void load_file(const char *name, int force_raw);
// Set while the start-up loads its files: a load leaves its window to one
// redraw of all windows after the last.
extern int loads_drawn_later;
// load_file for a name whose probe just gave type (>= 0), without probing it again.
void load_probed_file(const char *name, int type);
// Opens a file for loading and prepares the current window's record; null on failure.
// A regular file opened for reading without waiting; nullptr for anything
// else (pipes, devices, directories) and for files that cannot be opened.
FILE *open_regular(const char *name);
FILE *open_for_load(const char *name);
// Closes the file and shows why a load stopped.
void refuse_load(FILE *f, const char *text);
// 1 when a channel count can be loaded (0 counts as one); otherwise refuses
// the load with a message and closes the file.
int check_channels(FILE *f, int64_t channels);
// A rate read from a file, truncated; the default rate when it is not positive.
int file_rate(double rate);
// Allocates window w for a load, truncating to the load limit; frames allocated or 0.
int alloc_for_load(int w, int64_t frames, int channels);
// The common reader: stores `frames` frames of sample code `code` from byte
// `offset` into the current window and finishes it; closes the file.
void read_samples(FILE *f, int code, int64_t offset, int64_t frames, int channels, int swapped,
                  const char *message);
// 32767 / the largest magnitude of the first `values` float or double values.
double float_scale(FILE *f, int code, int64_t offset, int swapped, int64_t values);
// Right shift that brings the first `values` 32-bit or 16-bit unsigned values into 16 bits.
int int_shift(FILE *f, int code, int64_t offset, int swapped, int64_t values);
// Completes the current window after its values were stored.
void finish_load();
// Frames a file can hold from `offset` on, with `size`-byte values in
// `channels` channels, at most `claimed` (negative claims give 0).
int64_t frames_in_file(int64_t file_bytes, int64_t offset, int size, int channels, int64_t claimed);

// The readers, one per file type.
void load_ils(const char *name);
void load_plain(const char *name);
void load_trn(const char *name);
void load_snd(const char *name);
void load_wav(const char *name);
void load_mat(const char *name);
void load_adf(const char *name);
void load_lst(const char *name);
// Next MAT element at the file position as a double; `reverse` for big-endian data.
double read_mat_scalar(FILE *f, int precision, int reverse);
// One LST line: 1 when it holds a value, with the value and whether it had decimals.
int parse_lst_line(const char *line, double *value, int *decimal);

// The information line of window w.
void show_signal_info(int w);

// Path helpers of the file box and the command line.
void trim_trailing_spaces(char *text);
int change_dir(const char *path);
// Makes the path's directory current and puts its base name in out, which
// holds FILE_PATH_LEN bytes (a long name is kept whole: cutting it would
// name another file).  1 when the directory became current, -1 when it
// could not, 0 when the path names none.
int split_path(char *out, const char *path);
// The length of the folder part split_path cuts from path (0: none).
int path_folder_length(const char *path);

// File selection box: lets the user pick a name; returns with name empty
// when the user escaped.
void file_box(const char *prompt, char *name, int maxlen);

// ---- Saving ------------------------------------------------------------------
// The name of file type t, "?" for a number outside the table.
const char *file_type_name(int t);
// 1 for the types that have a writer (not TRN, not token files).
int has_writer(int type);
// Saves frames from..to-1 of the current window in the type cur_file_type,
// asking for the name and before overwriting.
void save_file(int from, int to);
// The save dialogue's proposal: the window's name, with the extension of the
// save type when the type changed.
void propose_save_name(char *name, int size);
// Cuts the name at the last "." of its last path part.
void strip_extension(char *name);
// Appends the save type's extension when the last path part has no ".".
void add_extension(char *name, int size);
// Fault injection for tests: the output path fails at `point` as if that
// system call had failed (FAULT_WRITE: the nth write of an output, counted
// from 1).  `write_size` above 0 cuts every write to that many bytes, so that
// a short file takes several; `writes` counts the writes of the last output.
enum { FAULT_NONE, FAULT_WRITE, FAULT_FLUSH, FAULT_FSYNC, FAULT_CLOSE, FAULT_RENAME, NUM_FAULTS };
struct output_fault_record {
  int point, nth, write_size;
  int writes;
};
extern output_fault_record output_fault;
// Opens the output for a target name: a temporary file beside it.  Shows the
// " writing ..." progress text; on failure " can't open file '%s' " and -1.
int create_output(const char *name);
// The same as a text stream; null on failure.
FILE *open_text_output(const char *name);
// Writes n bytes at a file offset of the open output (buffered, checked).
void output_write(int fd, int64_t offset, const void *data, int n);
// Flushes, syncs and closes the output and puts it in place of the target:
// 1 when the target now holds it, 0 when it failed (the target is unchanged).
int finish_output(int fd);
int finish_text_output(FILE *f);
// Writes frames from..to-1 (code SC_U8: low bytes, SC_S16: 16 bits, swapped
// to big-endian when swap is set) from a byte offset and finishes the output.
int write_samples(int fd, int code, int swap, int64_t offset, int from, int to, int channels);
// The same without finishing; returns the offset after the last value.
int64_t write_values(int fd, int code, int swap, int64_t offset, int from, int to, int channels);
// 1 when the window holds 8-bit unsigned values and every value of frames
// from..to-1 fits a byte.
int stretch_is_bytes(int from, int to);
// The writers: 1 written, 0 writing failed, -1 the file could not be created.
int save_ils(const char *name, int from, int to);
int save_snd(const char *name, int from, int to);
int save_noh(const char *name, int from, int to);
int save_wav(const char *name, int from, int to);
int save_mat(const char *name, int from, int to);
int save_adf(const char *name, int from, int to);
// Writes one MAT level 4 matrix header; returns the bytes written.
int write_mat_header(int fd, int64_t offset, int machine, int precision, const char *name, int columns,
                     int rows);

// ---- Text exports --------------------------------------------------------------
int save_c_array(const char *name, int from, int to);
int save_lst(const char *name, int from, int to);
int save_plt(const char *name, int from, int to);
// The C identifier for a file name: its base name up to the first ".",
// with every character that C does not allow made "_".
void c_array_name(char *out, int size, const char *file_name);

// ---- File menu -------------------------------------------------------------------
void file_menu();
void file_save();
void choose_save_type();
void custom_load_setup();
// Loads the current window's file again, from where and as it was loaded.
void reload_window();
