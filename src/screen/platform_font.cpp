// Glyph masks from a fixed-pitch TrueType font, and PNG writing: shared by
// the window and the headless platform (neither needs a video subsystem).
#include "screen/platform.h"
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static const char default_font[] = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
enum { FONT_POINTS = 13 }; // gives an 8-pixel advance with DejaVu Sans Mono

static TTF_Font *font;
// The font file, read whole when the font opens: glyphs rendered on first use
// then read it from memory instead of seeking and reading the file for each.
static void *font_bytes;

// Opens the font file at path from memory; null when it cannot be read or is no font.
static TTF_Font *open_font_in_memory(const char *path)
{
  size_t size;
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
static int glyph_w, glyph_h;
static uint8_t *glyph_masks[256]; // one mask per character, made on first use

static char matched_font[PLAT_PATH_LEN];

// The file fontconfig matches to "DejaVu Sans Mono", when the match is a
// fixed-pitch font (a bare match falls back to any font at all); nullptr
// when there is none.
static const char *fontconfig_match()
{
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
  }
  if (want)
    FcPatternDestroy(want);
  if (config)
    FcConfigDestroy(config);
  return found;
}

const char *plat_font_path()
{
  const char *path = getenv("TARVO_FONT");
  if (!path || !*path)
    path = fontconfig_match();
  return path ? path : default_font;
}

int plat_font_open(int *advance, int *height, int *ascent)
{
  const char *path = plat_font_path();
  if (!TTF_WasInit() && TTF_Init() != 0) {
    fprintf(stderr, "tarvo: cannot start the font renderer: %s\n", TTF_GetError());
    return 0;
  }
  font = open_font_in_memory(path);
  if (!font) {
    fprintf(stderr, "tarvo: cannot open the font '%s' (%s); install the package fonts-dejavu-core "
                    "or set TARVO_FONT to a fixed-pitch font file\n", path, TTF_GetError());
    TTF_Quit();
    return 0;
  }
  TTF_SetFontHinting(font, TTF_HINTING_MONO);
  int minx, maxx, miny, maxy, adv = 0;
  if (TTF_GlyphMetrics(font, 'M', &minx, &maxx, &miny, &maxy, &adv) != 0 || adv <= 0) {
    fprintf(stderr, "tarvo: the font '%s' has no usable glyphs\n", path);
    plat_font_close();
    return 0;
  }
  glyph_w = adv;
  glyph_h = TTF_FontHeight(font);
  *advance = glyph_w;
  *height = glyph_h;
  *ascent = TTF_FontAscent(font);
  return 1;
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

const uint8_t *plat_glyph(unsigned char c)
{
  if (!font)
    return nullptr;
  if (!glyph_masks[c])
    glyph_masks[c] = render_glyph(c);
  return glyph_masks[c];
}

void plat_font_close()
{
  for (auto &m : glyph_masks) {
    free(m);
    m = nullptr;
  }
  if (font)
    TTF_CloseFont(font);
  font = nullptr;
  SDL_free(font_bytes);
  font_bytes = nullptr;
  if (TTF_WasInit())
    TTF_Quit();
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
