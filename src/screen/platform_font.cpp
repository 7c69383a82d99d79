// Glyph masks from a fixed-pitch TrueType font, and PNG writing: shared by
// the window and the headless platform (neither needs a video subsystem).
//
// Asking fontconfig for the font and rendering its glyphs cost several
// milliseconds and give the same answer on every start, so both answers are
// kept in one per-user cache file together with everything they depend on:
// the environment, the library versions and a stamp (device, inode, size,
// modification and change times) of every file and folder that was read.
// A start whose inputs all still agree takes the answers from the file;
// any difference, or a file that is not exactly as this code writes it,
// means doing the work again and writing the file anew.
#include "screen/platform.h"
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

int font_lookups, font_opens;

static const char default_font[] = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
enum { FONT_POINTS = 13 }; // gives an 8-pixel advance with DejaVu Sans Mono
enum { MAX_GLYPH_SIDE = 256 }; // bounds on the metrics a cache may claim

static int glyph_w, glyph_h, glyph_ascent;
static int glyph_stride;            // bytes of one bit-packed mask: glyph_w * glyph_h bits
static uint8_t *glyph_bits;         // the 256 masks, bit-packed row by row; null: no font
static uint8_t *glyph_masks[256];   // one byte a pixel, unpacked from glyph_bits on first use

static char matched_font[PLAT_PATH_LEN];

// ---- Byte strings, built and read field by field, little-endian.

struct byte_buf {
  uint8_t *data;
  size_t len, cap;
  int failed; // out of memory: the contents are not to be used
};

static void put_bytes(byte_buf *b, const void *p, size_t n)
{
  if (b->failed || n == 0)
    return;
  if (b->len + n > b->cap) {
    size_t cap = b->cap ? b->cap : 4096;
    while (cap < b->len + n)
      cap *= 2;
    uint8_t *d = (uint8_t *)realloc(b->data, cap);
    if (!d) {
      b->failed = 1;
      return;
    }
    b->data = d;
    b->cap = cap;
  }
  memcpy(b->data + b->len, p, n);
  b->len += n;
}

static void put_le(uint8_t *p, uint64_t v, int n)
{
  for (int i = 0; i < n; i++)
    p[i] = (uint8_t)(v >> 8 * i);
}

static void put_u32(byte_buf *b, uint32_t v)
{
  uint8_t p[4];
  put_le(p, v, 4);
  put_bytes(b, p, 4);
}

static void put_str(byte_buf *b, const char *s)
{
  put_u32(b, (uint32_t)strlen(s));
  put_bytes(b, s, strlen(s));
}

static void free_buf(byte_buf *b)
{
  free(b->data);
  *b = {};
}

// A reader that checks every field is inside its bytes; a failure sticks.
struct byte_reader {
  const uint8_t *p;
  size_t left;
  int failed;
};

static const uint8_t *get_bytes(byte_reader *r, size_t n)
{
  if (r->failed || n > r->left) {
    r->failed = 1;
    return nullptr;
  }
  const uint8_t *p = r->p;
  r->p += n;
  r->left -= n;
  return p;
}

static uint64_t get_le(const uint8_t *p, int n)
{
  uint64_t v = 0;
  for (int i = n - 1; i >= 0; i--)
    v = v << 8 | p[i];
  return v;
}

static uint32_t get_u32(byte_reader *r)
{
  const uint8_t *p = get_bytes(r, 4);
  return p ? (uint32_t)get_le(p, 4) : 0;
}

// A string of fewer than PLAT_PATH_LEN bytes and no NUL into out.
static void get_str(byte_reader *r, char *out)
{
  uint32_t n = get_u32(r);
  const uint8_t *p = n < PLAT_PATH_LEN ? get_bytes(r, n) : nullptr;
  if (!p || memchr(p, 0, n)) {
    r->failed = 1;
    *out = 0;
    return;
  }
  memcpy(out, p, n);
  out[n] = 0;
}

// Whether the next bytes are exactly those of b.
static int get_same(byte_reader *r, const byte_buf *b)
{
  const uint8_t *p = b->failed ? nullptr : get_bytes(r, b->len);
  return p && memcmp(p, b->data, b->len) == 0;
}

// ---- Stamps: how a file or folder looks to stat, or that it is missing.

enum { STAMP_BYTES = 41 };

// The last stamp taken during this use of the cache (from load_cache to
// drop_cache): the font file is stamped for both parts, and once is enough.
static char last_stamped[PLAT_PATH_LEN];
static uint8_t last_stamp[STAMP_BYTES];

static void take_stamp(uint8_t *out, const char *path)
{
  if (last_stamped[0] && strcmp(path, last_stamped) == 0) {
    memcpy(out, last_stamp, STAMP_BYTES);
    return;
  }
  struct stat st;
  int there = stat(path, &st) == 0;
  memset(out, 0, STAMP_BYTES);
  if (strlen(path) < sizeof last_stamped)
    strcpy(last_stamped, path);
  if (!there) {
    memset(last_stamp, 0, STAMP_BYTES);
    return;
  }
  out[0] = 1;
  put_le(out + 1, st.st_dev, 8);
  put_le(out + 9, st.st_ino, 8);
  put_le(out + 17, (uint64_t)st.st_size, 8);
  put_le(out + 25, (uint64_t)st.st_mtim.tv_sec * 1000000000u + (uint64_t)st.st_mtim.tv_nsec, 8);
  put_le(out + 33, (uint64_t)st.st_ctim.tv_sec * 1000000000u + (uint64_t)st.st_ctim.tv_nsec, 8);
  memcpy(last_stamp, out, STAMP_BYTES);
}

static void put_stamp(byte_buf *b, const char *path)
{
  uint8_t stamp[STAMP_BYTES];
  take_stamp(stamp, path);
  put_str(b, path);
  put_bytes(b, stamp, STAMP_BYTES);
}

// Reads a path (into path) and its stamp and takes the stamp again:
// whether they agree.
static int get_same_stamp(byte_reader *r, char *path)
{
  get_str(r, path);
  const uint8_t *then = get_bytes(r, STAMP_BYTES);
  uint8_t now[STAMP_BYTES];
  if (!then)
    return 0;
  take_stamp(now, path);
  return memcmp(then, now, STAMP_BYTES) == 0;
}

// ---- What the fontconfig answer depends on.

// The environment fontconfig reads: where its setup is, and the language
// its default substitutions take.
static const char *const fontconfig_env[] = {
  "FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "HOME", "XDG_CONFIG_HOME",
  "XDG_DATA_HOME", "XDG_CACHE_HOME", "FC_LANG", "LC_ALL", "LC_CTYPE", "LANG",
};

// What is compared byte for byte: the library's version, the program's
// name (a setup may match on it) and the environment.
static void put_fontconfig_inputs(byte_buf *b)
{
  put_u32(b, (uint32_t)FcGetVersion());
  put_str(b, program_invocation_short_name);
  for (const char *name : fontconfig_env) {
    const char *value = getenv(name);
    put_u32(b, value != nullptr);
    put_str(b, value ? value : "");
  }
}

// An XDG base folder: the variable when it is set, else home/fallback (the
// home folder itself without either); 0 when there is none.
static int xdg_folder(char *out, const char *variable, const char *fallback)
{
  const char *xdg = variable ? getenv(variable) : nullptr, *home = getenv("HOME");
  if (xdg && *xdg)
    return snprintf(out, PLAT_PATH_LEN, "%s", xdg) < PLAT_PATH_LEN;
  return home && *home &&
         snprintf(out, PLAT_PATH_LEN, "%s%s%s", home, fallback ? "/" : "", fallback ? fallback : "") < PLAT_PATH_LEN;
}

static uint64_t checksum(const uint8_t *p, size_t n)
{
  // FNV-1a taken eight bytes at a time: each step is a one-to-one map of
  // the running value, so a changed word always changes the result.
  uint64_t h = 14695981039346656037u;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    memcpy(&word, p + i, 8);
    h = (h ^ word) * 1099511628211u;
  }
  for (; i < n; i++)
    h = (h ^ p[i]) * 1099511628211u;
  return h;
}

// The stamps of a fontconfig part, each path once.
struct stamp_set {
  byte_buf *b;
  int n;          // stamps put
  uint64_t seen[256]; // checksums of the paths stamped
  int kept;
};

// Stamps the first len bytes of path unless that path was stamped already.
static void stamp_once(stamp_set *s, const char *path, size_t len)
{
  if (len == 0 || len >= PLAT_PATH_LEN)
    return;
  uint64_t h = checksum((const uint8_t *)path, len);
  for (int i = 0; i < s->kept; i++)
    if (s->seen[i] == h)
      return;
  if (s->kept < (int)(sizeof s->seen / sizeof s->seen[0]))
    s->seen[s->kept++] = h;
  char one[PLAT_PATH_LEN];
  memcpy(one, path, len);
  one[len] = 0;
  put_stamp(s->b, one);
  s->n++;
}

static void stamp_folder_of(stamp_set *s, const char *path)
{
  const char *slash = strrchr(path, '/');
  if (slash)
    stamp_once(s, path, (size_t)(slash - path));
}

// The places fontconfig's standard setup reads a user's own settings and
// fonts from, present or not: one created later must be noticed.
static void stamp_user_places(stamp_set *s)
{
  static const struct { const char *variable, *fallback, *leaf; } places[] = {
    {"XDG_CONFIG_HOME", ".config", "fontconfig/fonts.conf"},
    {"XDG_CONFIG_HOME", ".config", "fontconfig/conf.d"},
    {"XDG_DATA_HOME", ".local/share", "fonts"},
    {nullptr, nullptr, ".fonts.conf"},
    {nullptr, nullptr, ".fonts.conf.d"},
    {nullptr, nullptr, ".fonts"},
  };
  char base[PLAT_PATH_LEN], path[PLAT_PATH_LEN];
  for (const auto &place : places)
    if (xdg_folder(base, place.variable, place.fallback) &&
        snprintf(path, sizeof path, "%s/%s", base, place.leaf) < PLAT_PATH_LEN)
      stamp_once(s, path, strlen(path));
}

// Stamps every path of the list, or with prefix only those inside that folder.
static void stamp_list(stamp_set *s, FcStrList *list, const char *prefix = nullptr)
{
  size_t n = prefix ? strlen(prefix) : 0;
  if (!list)
    return;
  while (FcChar8 *p = FcStrListNext(list)) {
    const char *path = (const char *)p;
    if (!prefix || (n > 1 && strncmp(path, prefix, n) == 0 && path[n] == '/'))
      stamp_once(s, path, strlen(path));
  }
  FcStrListDone(list);
}

// Setup files reached through a link (the conf.d folders hold links to the
// files packages put down) are stamped by the link's folder and the file's:
// links are added and removed there, and packages replace a file rather
// than edit it, which changes its folder's time too.  Files named directly
// (fonts.conf, local.conf, the user's own) may be edited in place and are
// stamped one by one.  Telling them apart costs a path resolution per file, but
// only when the cache is written.
static void stamp_config_files(stamp_set *s, FcStrList *list)
{
  if (!list)
    return;
  while (FcChar8 *p = FcStrListNext(list)) {
    const char *path = (const char *)p;
    char *real = realpath(path, nullptr);
    if (real && strcmp(real, path) != 0) {
      stamp_folder_of(s, path);
      stamp_folder_of(s, real);
    } else {
      stamp_once(s, path, strlen(path));
    }
    free(real);
  }
  FcStrListDone(list);
}

// The cache's fontconfig part: its inputs, the file matched ("" for none)
// and the stamps of what the answer was made from: the setup files and
// folders, fontconfig's cache folders, the user's places and, last, the
// matched file.  The cache folders stand for the font folders: fontconfig
// writes a folder's cache anew when it finds the folder changed, and
// installing fonts from packages runs it, so a font added or removed shows
// as a changed cache folder (a font copied by hand into a system folder
// shows once any program has used fontconfig since).  The user's own font
// folders, where fonts are copied by hand, are stamped themselves, each
// folder under the home folder that fontconfig read.
static void put_fontconfig_answer(byte_buf *b, FcConfig *config, const char *file)
{
  put_fontconfig_inputs(b);
  put_str(b, file);
  size_t count_at = b->len;
  put_u32(b, 0);
  stamp_set s = {b, 0, {}, 0};
  stamp_config_files(&s, FcConfigGetConfigFiles(config));
  stamp_list(&s, FcConfigGetConfigDirs(config));
  stamp_list(&s, FcConfigGetCacheDirs(config));
  stamp_user_places(&s);
  const char *home = getenv("HOME");
  if (home)
    stamp_list(&s, FcConfigGetFontDirs(config), home);
  if (*file) {
    put_stamp(b, file);
    s.n++;
  }
  if (!b->failed)
    put_le(b->data + count_at, (uint32_t)s.n, 4);
}

// The matched file a cached fontconfig part holds, into out, when all its
// inputs and stamps agree with today's (the matched file's stamp last).
static int cached_match(const uint8_t *part, size_t len, char *out)
{
  byte_buf now = {};
  put_fontconfig_inputs(&now);
  byte_reader r = {part, len, 0};
  int same = get_same(&r, &now);
  free_buf(&now);
  get_str(&r, out);
  uint32_t n = get_u32(&r);
  char path[PLAT_PATH_LEN] = "";
  for (uint32_t i = 0; i < n && same && !r.failed; i++)
    same = get_same_stamp(&r, path);
  return same && !r.failed && r.left == 0 && (!*out || strcmp(out, path) == 0);
}

// ---- What the rendered masks depend on.

// The libraries that render: a new build of any of them may draw otherwise.
enum { RENDER_LIBRARIES = 4 };
static const char *const render_libraries[RENDER_LIBRARIES] = {"libSDL2_ttf-", "libfreetype.so", "libharfbuzz.so",
                                                               "libSDL2-"};
static char library_paths[RENDER_LIBRARIES][PLAT_PATH_LEN]; // as loaded; "" when not found

static int note_library(struct dl_phdr_info *info, size_t, void *)
{
  const char *slash = strrchr(info->dlpi_name, '/'), *base = slash ? slash + 1 : info->dlpi_name;
  for (int i = 0; i < RENDER_LIBRARIES; i++)
    if (!library_paths[i][0] && strncmp(base, render_libraries[i], strlen(render_libraries[i])) == 0)
      snprintf(library_paths[i], PLAT_PATH_LEN, "%s", info->dlpi_name);
  return 0;
}

// The font file's stamp, the size and hinting asked for, the renderer's
// version and the stamps of the rendering libraries as loaded.  FreeType
// tells its version only after TTF_Init, which a start from the cache
// skips: the library files' stamps stand for it (and for any rebuild).
static void put_render_inputs(byte_buf *b, const char *path)
{
  put_stamp(b, path);
  put_u32(b, FONT_POINTS);
  put_u32(b, TTF_HINTING_MONO);
  const SDL_version *v = TTF_Linked_Version();
  put_u32(b, (uint32_t)v->major << 16 | v->minor << 8 | v->patch);
  if (!library_paths[0][0])
    dl_iterate_phdr(note_library, nullptr);
  for (const char *library : library_paths)
    put_stamp(b, library);
}

// Takes the metrics and masks from a cached glyph part made from path
// when everything they depend on agrees with today's.
static int cached_glyphs(const uint8_t *part, size_t len, const char *path)
{
  byte_buf now = {};
  put_render_inputs(&now, path);
  byte_reader r = {part, len, 0};
  int same = get_same(&r, &now);
  free_buf(&now);
  int w = (int32_t)get_u32(&r), h = (int32_t)get_u32(&r), ascent = (int32_t)get_u32(&r);
  if (!same || r.failed || w < 1 || w > MAX_GLYPH_SIDE || h < 1 || h > MAX_GLYPH_SIDE ||
      ascent < -MAX_GLYPH_SIDE || ascent > MAX_GLYPH_SIDE)
    return 0;
  int stride = (w * h + 7) / 8;
  if (r.left != 256u * stride || !(glyph_bits = (uint8_t *)malloc(r.left)))
    return 0;
  memcpy(glyph_bits, r.p, r.left);
  glyph_w = w;
  glyph_h = h;
  glyph_ascent = ascent;
  glyph_stride = stride;
  return 1;
}

// ---- The cache file: $XDG_CACHE_HOME/tarvo/font-cache.
//
// A header (magic, layout, the two parts' lengths, a checksum of the parts)
// and the fontconfig part and glyph part.  Either part may be empty.

enum { PART_FONTCONFIG, PART_GLYPHS, PARTS };
enum { CACHE_LAYOUT = 2, HEADER_BYTES = 28, MAX_CACHE_BYTES = 4 << 20 };
static const char cache_magic[8] = {'T', 'a', 'r', 'v', 'o', 'F', 'n', 't'};

static uint8_t *cache_file;              // the file as read at this start
static const uint8_t *old_part[PARTS];   // its parts, when it checked out
static size_t old_len[PARTS];
static byte_buf new_part[PARTS];         // parts made anew at this start

// The cache folder with file appended ("" for the folder itself): 0 when
// there is none (neither an absolute XDG_CACHE_HOME nor HOME) or it does
// not fit.
static int cache_path(char *out, const char *file)
{
  const char *xdg = getenv("XDG_CACHE_HOME"), *home = getenv("HOME");
  int n;
  if (xdg && xdg[0] == '/')
    n = snprintf(out, PLAT_PATH_LEN, "%s/tarvo%s", xdg, file);
  else if (home && home[0] == '/')
    n = snprintf(out, PLAT_PATH_LEN, "%s/.cache/tarvo%s", home, file);
  else
    return 0;
  return n > 0 && n < PLAT_PATH_LEN;
}

static void load_cache()
{
  last_stamped[0] = 0; // stamps are taken afresh at each opening
  char path[PLAT_PATH_LEN];
  // Not waiting on a pipe someone left in its place: the open does not block
  // and anything but a regular file is refused below.
  int fd = cache_path(path, "/font-cache") ? open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1;
  struct stat st;
  if (fd < 0)
    return;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < HEADER_BYTES || st.st_size > MAX_CACHE_BYTES ||
      !(cache_file = (uint8_t *)malloc((size_t)st.st_size))) {
    close(fd);
    return;
  }
  size_t size = (size_t)st.st_size, got = 0;
  while (got < size) {
    ssize_t k = read(fd, cache_file + got, size - got);
    if (k < 0 && errno == EINTR)
      continue;
    if (k <= 0)
      break;
    got += (size_t)k;
  }
  close(fd);
  const uint8_t *p = cache_file;
  if (got != size)
    return;
  uint64_t len0 = get_le(p + 12, 4), len1 = get_le(p + 16, 4);
  if (memcmp(p, cache_magic, 8) != 0 || get_le(p + 8, 4) != CACHE_LAYOUT || HEADER_BYTES + len0 + len1 != size ||
      get_le(p + 20, 8) != checksum(p + HEADER_BYTES, size - HEADER_BYTES))
    return;
  old_part[PART_FONTCONFIG] = p + HEADER_BYTES;
  old_len[PART_FONTCONFIG] = len0;
  old_part[PART_GLYPHS] = p + HEADER_BYTES + len0;
  old_len[PART_GLYPHS] = len1;
}

// Makes the folder and those above it that are missing.
static int make_folders(char *path)
{
  for (char *slash = path + 1;; slash++) {
    if (*slash != '/' && *slash)
      continue;
    char c = *slash;
    *slash = 0;
    int ok = mkdir(path, 0700) == 0 || errno == EEXIST;
    *slash = c;
    if (!ok || !c)
      return ok;
  }
}

static int write_all(int fd, const uint8_t *p, size_t n)
{
  while (n > 0) {
    ssize_t k = write(fd, p, n);
    if (k < 0 && errno == EINTR)
      continue;
    if (k <= 0)
      return 0;
    p += k;
    n -= (size_t)k;
  }
  return 1;
}

// Writes the cache when a part was made anew, keeping the other part of
// the old file.  The file is written whole under another name and renamed
// over the old, so a reader sees one or the other; failures are silent.
static void save_cache()
{
  const uint8_t *part[PARTS];
  size_t len[PARTS];
  for (int i = 0; i < PARTS; i++) {
    if (new_part[i].failed)
      return;
    part[i] = new_part[i].len ? new_part[i].data : old_part[i];
    len[i] = new_part[i].len ? new_part[i].len : old_len[i];
  }
  char folder[PLAT_PATH_LEN], path[PLAT_PATH_LEN], temp[PLAT_PATH_LEN];
  if ((!new_part[0].len && !new_part[1].len) || !cache_path(folder, "") || !cache_path(path, "/font-cache") ||
      snprintf(temp, sizeof temp, "%s.%ld", path, (long)getpid()) >= PLAT_PATH_LEN || !make_folders(folder))
    return;
  byte_buf b = {};
  put_bytes(&b, cache_magic, 8);
  put_u32(&b, CACHE_LAYOUT);
  put_u32(&b, (uint32_t)len[0]);
  put_u32(&b, (uint32_t)len[1]);
  put_bytes(&b, "\0\0\0\0\0\0\0\0", 8);
  for (int i = 0; i < PARTS; i++)
    put_bytes(&b, part[i], len[i]);
  // A name left over from an earlier run is removed; the file is made new,
  // never through a link.
  unlink(temp);
  int fd = b.failed ? -1 : open(temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd >= 0) {
    put_le(b.data + 20, checksum(b.data + HEADER_BYTES, b.len - HEADER_BYTES), 8);
    int ok = write_all(fd, b.data, b.len);
    if (close(fd) != 0 || !ok || rename(temp, path) != 0)
      unlink(temp);
  }
  free_buf(&b);
}

static void drop_cache()
{
  last_stamped[0] = 0;
  for (int i = 0; i < PARTS; i++) {
    free_buf(&new_part[i]);
    old_part[i] = nullptr;
    old_len[i] = 0;
  }
  free(cache_file);
  cache_file = nullptr;
}

// ---- Finding the font.

// The file fontconfig matches to "DejaVu Sans Mono", when the match is a
// fixed-pitch font (a bare match falls back to any font at all); nullptr
// when there is none.  The answer and what it depended on become the
// cache's new fontconfig part.
static const char *fontconfig_match()
{
  font_lookups++;
  FcConfig *config = FcInitLoadConfigAndFonts();
  FcPattern *want = FcNameParse((const FcChar8 *)"DejaVu Sans Mono");
  const char *found = nullptr;
  if (config && want) {
    FcConfigSubstitute(config, want, FcMatchPattern);
    FcDefaultSubstitute(want);
    FcResult result;
    FcPattern *match = FcFontMatch(config, want, &result);
    FcChar8 *file = nullptr;
    int spacing = 0;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetInteger(match, FC_SPACING, 0, &spacing) == FcResultMatch && spacing == FC_MONO &&
        strlen((const char *)file) < sizeof matched_font) {
      strcpy(matched_font, (const char *)file);
      found = matched_font;
    }
    if (match)
      FcPatternDestroy(match);
    put_fontconfig_answer(&new_part[PART_FONTCONFIG], config, found ? found : "");
  }
  if (want)
    FcPatternDestroy(want);
  if (config)
    FcConfigDestroy(config);
  return found;
}

// The font file, with the cache loaded.
static const char *find_font()
{
  const char *path = getenv("TARVO_FONT");
  char cached[PLAT_PATH_LEN];
  if (path && *path)
    return path;
  if (old_part[PART_FONTCONFIG] && cached_match(old_part[PART_FONTCONFIG], old_len[PART_FONTCONFIG], cached))
    path = *cached ? strcpy(matched_font, cached) : nullptr;
  else
    path = fontconfig_match();
  return path ? path : default_font;
}

const char *plat_font_path()
{
  load_cache();
  const char *path = find_font();
  save_cache();
  drop_cache();
  return path;
}

// ---- Rendering the glyphs.

static TTF_Font *font;
// The font file, read whole: the glyphs are rendered from memory instead
// of seeking and reading the file for each.
static void *font_bytes;

static void close_font()
{
  if (font)
    TTF_CloseFont(font);
  font = nullptr;
  SDL_free(font_bytes);
  font_bytes = nullptr;
  if (TTF_WasInit())
    TTF_Quit();
}

// Opens the font file at path from memory; null when it cannot be read or is no font.
static TTF_Font *open_font_in_memory(const char *path)
{
  size_t size;
  font_opens++;
  font_bytes = SDL_LoadFile(path, &size);
  if (!font_bytes)
    return nullptr;
  TTF_Font *f = TTF_OpenFontRW(SDL_RWFromConstMem(font_bytes, (int)size), 1, FONT_POINTS);
  if (!f) {
    SDL_free(font_bytes);
    font_bytes = nullptr;
  }
  return f;
}

static uint8_t *render_glyph(unsigned char c)
{
  uint8_t *mask = (uint8_t *)calloc((size_t)glyph_w * glyph_h, 1);
  if (!mask || c <= ' ' || c == 127)
    return mask;
  SDL_Color ink = {255, 255, 255, 255};
  SDL_Surface *s = TTF_RenderGlyph_Solid(font, c, ink);
  if (!s)
    return mask;
  // A solid rendering is palettised: index 0 is background, anything else ink.
  SDL_LockSurface(s);
  int w = s->w < glyph_w ? s->w : glyph_w;
  int h = s->h < glyph_h ? s->h : glyph_h;
  for (int y = 0; y < h; y++) {
    const uint8_t *row = (const uint8_t *)s->pixels + (size_t)y * s->pitch;
    for (int x = 0; x < w; x++)
      mask[y * glyph_w + x] = row[x] ? 1 : 0;
  }
  SDL_UnlockSurface(s);
  SDL_FreeSurface(s);
  return mask;
}

// Opens the font at path, renders all 256 masks and closes it again.
// Prints a message and returns 0 when the font cannot be used.
static int render_glyphs(const char *path)
{
  if (!TTF_WasInit() && TTF_Init() != 0) {
    fprintf(stderr, "tarvo: cannot start the font renderer: %s\n", TTF_GetError());
    return 0;
  }
  font = open_font_in_memory(path);
  if (!font) {
    fprintf(stderr, "tarvo: cannot open the font '%s' (%s); install the package fonts-dejavu-core "
                    "or set TARVO_FONT to a fixed-pitch font file\n", path, TTF_GetError());
    close_font();
    return 0;
  }
  TTF_SetFontHinting(font, TTF_HINTING_MONO);
  int minx, maxx, miny, maxy, adv = 0;
  if (TTF_GlyphMetrics(font, 'M', &minx, &maxx, &miny, &maxy, &adv) != 0 || adv <= 0 || adv > MAX_GLYPH_SIDE ||
      TTF_FontHeight(font) < 1 || TTF_FontHeight(font) > MAX_GLYPH_SIDE) {
    fprintf(stderr, "tarvo: the font '%s' has no usable glyphs\n", path);
    close_font();
    return 0;
  }
  glyph_w = adv;
  glyph_h = TTF_FontHeight(font);
  glyph_ascent = TTF_FontAscent(font);
  glyph_stride = (glyph_w * glyph_h + 7) / 8;
  glyph_bits = (uint8_t *)calloc(256, glyph_stride);
  for (int c = 0; c < 256 && glyph_bits; c++) {
    uint8_t *mask = glyph_masks[c] = render_glyph((unsigned char)c);
    for (int i = 0; mask && i < glyph_w * glyph_h; i++)
      glyph_bits[c * glyph_stride + i / 8] |= (uint8_t)(mask[i] << i % 8);
  }
  close_font();
  return glyph_bits != nullptr;
}

// The font at path rendered; the masks, their metrics and what they
// depend on become the cache's new glyph part.
static int render_font(const char *path)
{
  byte_buf *b = &new_part[PART_GLYPHS];
  put_render_inputs(b, path); // before reading: a font changed meanwhile is noticed next time
  if (!render_glyphs(path)) {
    free_buf(b);
    return 0;
  }
  uint8_t metrics[12];
  put_le(metrics, (uint32_t)glyph_w, 4);
  put_le(metrics + 4, (uint32_t)glyph_h, 4);
  put_le(metrics + 8, (uint32_t)glyph_ascent, 4);
  put_bytes(b, metrics, 12);
  put_bytes(b, glyph_bits, 256u * glyph_stride);
  return 1;
}

int plat_font_open(int *advance, int *height, int *ascent)
{
  plat_font_close();
  load_cache();
  const char *path = find_font();
  int ok = (old_part[PART_GLYPHS] && cached_glyphs(old_part[PART_GLYPHS], old_len[PART_GLYPHS], path)) ||
           render_font(path);
  save_cache();
  drop_cache();
  if (!ok) {
    plat_font_close();
    return 0;
  }
  *advance = glyph_w;
  *height = glyph_h;
  *ascent = glyph_ascent;
  return 1;
}

const uint8_t *plat_glyph(unsigned char c)
{
  if (!glyph_bits)
    return nullptr;
  if (!glyph_masks[c] && (glyph_masks[c] = (uint8_t *)malloc((size_t)glyph_w * glyph_h)))
    for (int i = 0; i < glyph_w * glyph_h; i++)
      glyph_masks[c][i] = glyph_bits[c * glyph_stride + i / 8] >> i % 8 & 1;
  return glyph_masks[c];
}

void plat_font_close()
{
  for (auto &m : glyph_masks) {
    free(m);
    m = nullptr;
  }
  free(glyph_bits);
  glyph_bits = nullptr;
  close_font();
}

int plat_save_png(const char *path, const uint32_t *pixels, int width, int height)
{
  SDL_Surface *s = SDL_CreateRGBSurfaceWithFormatFrom((void *)pixels, width, height, 32, width * 4,
                                                      SDL_PIXELFORMAT_RGB888);
  if (!s)
    return 0;
  int ok = IMG_SavePNG(s, path) == 0;
  SDL_FreeSurface(s);
  return ok;
}
