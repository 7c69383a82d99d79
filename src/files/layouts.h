// Byte layouts of the file formats: where each header field lies, named once
// for the type probe, the readers and the writers.  Fields are little-endian
// unless the format says otherwise.
#pragma once

// ILS: a header of 16-bit words, then 16-bit values.
enum ils_layout {
  ILS_HEADER_SIZE = 512,
  ILS_DATA_BLOCKS = 10,   // int16: 512-byte blocks of values
  ILS_RESERVED = 114,     // int16 written as 0
  ILS_CHANNELS = 116,     // int16; 0 in files written without it: one channel
  ILS_RATE_EXPONENT = 120, // int16: power of ten of the rate, used when 1..ILS_MAX_EXPONENT
  ILS_RATE_MANTISSA = 122, // int16: the rate divided by 10^exponent
  ILS_MARKER = 124,       // int16 ILS_MARKER_VALUE in every ILS file
  ILS_FILE_KIND = 126,    // int16: ILS_TOKEN_KIND marks a token file
  ILS_MAX_EXPONENT = 5,
  ILS_MARKER_VALUE = -32000,
  ILS_TOKEN_KIND = 11111,
  ILS_WRITTEN_KIND = 32149, // the kind this program writes
  // The saved-window block, recognised by its tag "BTNI_" and a zero byte.
  ILS_SAVED_TAG = 128, ILS_SAVED_TAG_LEN = 6,
  ILS_SAVED_NAME = 134,   // 40 bytes
  ILS_SAVED_TIME_EXP = 174, ILS_SAVED_MIN = 176, ILS_SAVED_MAX = 178, // int16 each
  ILS_SAVED_VALUES = 188, // int32: values written, frames x channels
  ILS_SAVED_CREATED = 192, ILS_SAVED_ADC_RATE = 196, ILS_SAVED_DAC_RATE = 200, // int32 each
  ILS_SAVED_MARKS = 204,  // int32 each of the mark slots
  ILS_SAVED_FILE_TYPE = 332, ILS_SAVED_SRC_TYPE = 333, ILS_SAVED_SRC_FLAG = 334, // bytes
  ILS_SAVED_KIND = 336, ILS_SAVED_CHANNELS = 337,                               // bytes
  // The token block of a token file, after the data blocks.
  ILS_TOKEN_COUNT = 0,    // int16
  ILS_TOKEN_LENGTH = 2,   // int16: values in one token
};

// SND: six 32-bit fields, big-endian (".snd") or little-endian ("dns.").
enum snd_layout {
  SND_MAGIC = 0,
  SND_DATA_OFFSET = 4,    // where the values start; at least SND_FIELDS_SIZE
  SND_DATA_SIZE = 8,      // bytes of values; all ones = up to the end of the file
  SND_ENCODING = 12,      // the sample code
  SND_RATE = 16,
  SND_CHANNELS = 20,
  SND_FIELDS_SIZE = 24,   // the six fields
  SND_INFO = 24,          // information text, 4 bytes
  SND_HEADER_SIZE = 28,
};

// WAV: RIFF chunks; "fmt " describes the data, "data" holds them.
enum wav_layout {
  RIFF_ID = 0, RIFF_SIZE = 4, RIFF_FORM = 8, // "RIFF", size, "WAVE"
  RIFF_FIRST_CHUNK = 12,
  CHUNK_ID = 0, CHUNK_SIZE = 4, CHUNK_HEADER_SIZE = 8, // within a chunk
  // Within the fmt body.
  FMT_TAG = 0, FMT_CHANNELS = 2, FMT_RATE = 4, FMT_BYTE_RATE = 8, FMT_BLOCK_ALIGN = 12,
  FMT_BITS = 14,
  FMT_PLAIN_SIZE = 16,    // the body without extension
  FMT_SUB_FORMAT = 24,    // extensible: the sub-format GUID, which begins with the tag
  FMT_EXTENSIBLE_SIZE = 40,
  // The file this program writes: one "fmt " chunk, then "data".
  WAV_FMT_BODY = 20, WAV_DATA_ID = 36, WAV_DATA_SIZE = 40, WAV_HEADER_SIZE = 44,
};

// MAT level 4: each matrix is a header of five int32, its name with a zero
// byte, then the elements in column order.
enum mat_layout {
  MAT_TYPE = 0,           // decimal digits: machine, 0, precision, text
  MAT_ROWS = 4,
  MAT_COLS = 8,
  MAT_IMAGINARY = 12,     // nonzero: the imaginary parts follow the real ones
  MAT_NAME_LEN = 16,      // bytes of the name, its zero byte included
  MAT_HEADER_SIZE = 20,
};

// ADF: a fixed header, then 16-bit values.
enum adf_layout {
  ADF_SIGNATURE = 0,      // "KOBU40" and two zero bytes
  ADF_FRAMES = 8,         // int32
  ADF_CHANNELS = 16,      // u16
  ADF_BITS = 18,          // u16
  ADF_RATE_KHZ = 24,      // float32
  ADF_HEADER_SIZE = 516,
};

// TRN: a fixed header, then one unsigned byte a value.
enum trn_layout {
  TRN_MAGIC = 0,          // "TRN" or "VMF" and a zero byte
  TRN_FRAMES = 4,         // int32
  TRN_ADC_RATE = 8, TRN_DAC_RATE = 12, TRN_CREATED = 16, // int32 each
  TRN_MIN = 20, TRN_MAX = 22, // int16 each
  TRN_HEADER_SIZE = 128,
};
