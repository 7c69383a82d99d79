// The platform seen from outside: keys as the SDL window and key scripts
// deliver them, and the font file chosen.
#include "support/support.h"
#include <sys/stat.h>
#include <SDL.h>
#include <functional>

// Codes of key presses from a key script line or (script empty) from the
// SDL window as key sym, modifiers and the text the key types.
struct sdl_key { SDL_Keycode sym; uint16_t mod; const char *text; };
struct key_row { const char *script; std::vector<sdl_key> keys; std::vector<int> codes; };
const key_row key_rows[] = {
  {"key Left S-Left C-Left S-C-Left Right S-Right S-C-Right Home C-Home End C-End Up Down PgUp PgDn Ins Del F1 F8 "
   "Tab S-Tab Enter Esc x S-x C-x Space C-Enter C-Backspace", {},
   {331, 52, 371, 371, 333, 54, 372, 327, 375, 335, 373, 328, 336, 329, 337, 338, 339, 315, 322, 9, 271, 13, 27,
    'x', 'X', 24, ' ', 10, 127}},
  {"", {{SDLK_x, 0, "x"}, {SDLK_h, KMOD_LALT, "h"}, {SDLK_x, 0, "x"}, {SDLK_TAB, KMOD_LALT, ""}, {SDLK_h, KMOD_LGUI, "h"},
        {SDLK_q, KMOD_RALT | KMOD_MODE, "@"}, {SDLK_q, KMOD_RALT, "@"}, {SDLK_h, KMOD_RALT, "h"},
        {SDLK_h, KMOD_RALT | KMOD_LSHIFT, "H"}, {SDLK_RETURN, KMOD_LCTRL, ""}, {SDLK_BACKSPACE, KMOD_LCTRL, ""}},
   {'x', 'x', '@', '@', 10, 127}},
  {"", {{SDLK_KP_4, 0, ""}, {SDLK_KP_6, 0, ""}, {SDLK_KP_8, 0, ""}, {SDLK_KP_2, 0, ""}, {SDLK_KP_7, 0, ""},
        {SDLK_KP_1, 0, ""}, {SDLK_KP_9, 0, ""}, {SDLK_KP_3, 0, ""}, {SDLK_KP_0, 0, ""}, {SDLK_KP_PERIOD, 0, ""},
        {SDLK_KP_ENTER, 0, ""}, {SDLK_KP_8, KMOD_NUM, "8"}, {SDLK_KP_PERIOD, KMOD_NUM, "."}},
   {331, 333, 328, 336, 327, 335, 329, 337, 338, 339, 13, '8', '.'}},
};

// Every row ends with z: the codes before it are the row's.
TEST(Platform, KeysFromTheWindowAndFromScriptsGiveTheCodesOfAPcKeyboard)
{
  std::string dir = scratch_dir("platform_keys");
  write_file(dir + "/keys.txt", std::string(key_rows[0].script) + "\nkey z\n");
  for (int sdl : {0, 1}) {
    setenv("TARVO_SCRIPT", sdl ? "" : (dir + "/keys.txt").c_str(), 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_TRUE(plat_open("Tarvo", &scr_width, &scr_height));
    prepare_surface();
    key_slot = ctrl_down = shift_down = quit_flag = 0;
    for (const key_row &row : key_rows) {
      if (sdl != !*row.script)
        continue;
      std::vector<sdl_key> keys = row.keys;
      keys.push_back({SDLK_z, 0, "z"});
      for (auto [sym, mod, text] : sdl ? keys : std::vector<sdl_key>()) {
        SDL_Event e = {SDL_KEYDOWN}, t = {SDL_TEXTINPUT};
        e.key.keysym = {SDL_SCANCODE_UNKNOWN, sym, mod, 0};
        strcpy(t.text.text, text);
        SDL_PushEvent(&e);
        if (*text) SDL_PushEvent(&t);
        e.type = SDL_KEYUP;
        SDL_PushEvent(&e);
      }
      std::vector<int> codes;
      for (int k; (k = wait_key()) != 'z' && k != KEY_CTRL_C;)
        codes.push_back(k);
      EXPECT_EQ(codes, row.codes) << row.script;
    }
    release_surface();
    plat_close();
  }
  unsetenv("TARVO_SCRIPT");
  unsetenv("SDL_VIDEODRIVER");
}

// TARVO_FONT wins; else fontconfig's match for DejaVu Sans Mono when it is
// fixed-pitch; else the fixed Debian path.  Each row has a font folder of
// its own (fontconfig's cache knows a folder by name and time).
TEST(Platform, FontFileFromTheEnvironmentFontconfigOrTheDebianPath)
{
  const std::string debian = "/usr/share/fonts/truetype/dejavu/", dir = scratch_dir("platform_font");
  struct { const char *env, *font_in_dir; std::string path; } rows[] = {
    {"/nowhere/any.ttf", "DejaVuSansMono.ttf", "/nowhere/any.ttf"},
    {"", "DejaVuSansMono.ttf", dir + "/fonts1/copy.ttf"},
    {"", "DejaVuSans.ttf", debian + "DejaVuSansMono.ttf"},
  };
  for (int i = 0; i < 3; i++) {
    std::string fonts = dir + "/fonts" + std::to_string(i);
    std::filesystem::create_directories(fonts);
    std::filesystem::copy_file(debian + rows[i].font_in_dir, fonts + "/copy.ttf");
    write_file(fonts + ".conf", "<fontconfig><dir>" + fonts + "</dir><cachedir>" + dir + "/cache</cachedir></fontconfig>");
    setenv("FONTCONFIG_FILE", (fonts + ".conf").c_str(), 1);
    setenv("TARVO_FONT", rows[i].env, 1);
    EXPECT_EQ(plat_font_path(), rows[i].path) << rows[i].font_in_dir;
  }
  unsetenv("FONTCONFIG_FILE");
  unsetenv("TARVO_FONT");
}

// What one plat_font_open gives, and whether it asked fontconfig and opened a font file.
struct font_seen {
  int lookups = 0, opens = 0, advance = 0, height = 0, ascent = 0;
  std::vector<uint8_t> masks;
  bool operator==(const font_seen &o) const
  {
    return std::tie(advance, height, ascent, masks) == std::tie(o.advance, o.height, o.ascent, o.masks);
  }
};
static font_seen open_font()
{
  font_seen s;
  s.lookups = font_lookups;
  s.opens = font_opens;
  EXPECT_TRUE(plat_font_open(&s.advance, &s.height, &s.ascent));
  for (int c = 0; c < 256 && s.advance; c++)
    s.masks.insert(s.masks.end(), plat_glyph(c), plat_glyph(c) + s.advance * s.height);
  plat_font_close();
  s.lookups = font_lookups - s.lookups;
  s.opens = font_opens - s.opens;
  return s;
}

// The font's path, metrics and masks come from the cache, with neither fontconfig nor the font file,
// exactly while nothing they depend on has changed; a damaged cache is found out and written anew.
TEST(Platform, FontCacheServesAStartOnlyWhileWhatItDependsOnIsUnchanged)
{
  const std::string dir = scratch_dir("font_cache"), dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono";
  const std::string font = dir + "/fonts/mono.ttf", home = dir + "/home", cache = dir + "/cache/tarvo/font-cache";
  std::string saved[] = {getenv("HOME") ?: "", getenv("XDG_CACHE_HOME") ?: ""};
  std::filesystem::create_directories(dir + "/fonts");
  std::filesystem::copy_file(dejavu + ".ttf", font);
  for (std::string conf : {"/fonts.conf", "/other.conf"})
    write_file(dir + conf, "<fontconfig><dir>" + dir + "/fonts</dir><dir>~/.fonts</dir><cachedir>" + dir +
                               "/fc</cachedir></fontconfig>");
  std::filesystem::create_directories(dir + "/filed");
  write_file(dir + "/filed/tarvo", "");
  auto set = [](const char *name, std::string value) { return [=] { setenv(name, value.c_str(), 1); }; };
  auto touch = [](std::string path) {
    return [=] { std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) - std::chrono::hours(1)); };
  };
  auto bold = [&] { std::filesystem::copy_file(dejavu + "-Bold.ttf", font, std::filesystem::copy_options::overwrite_existing); };
  // The cache file cut to keep bytes and a byte flipped (negative: counted from the end).
  const long all = 1 << 30, none = all;
  auto damage = [&](long keep, long flip) {
    return [=] {
      std::string b = read_file(cache);
      b.resize(std::min<size_t>(keep < 0 ? b.size() + keep : keep, b.size()));
      if (flip != none)
        b[flip < 0 ? b.size() + flip : flip] ^= 1;
      write_file(cache, b);
    };
  };
  struct { const char *change; std::function<void()> make; int lookups, opens, same; std::string cache; } rows[] = {
    {"nothing", [] {}, 0, 0, 1, cache},
    {"TARVO_FONT naming the font found", set("TARVO_FONT", font), 0, 0, 1, cache},
    {"font file touched", touch(font), 1, 1, 1, cache},
    {"font file replaced by its bold face", bold, 1, 1, 0, cache},
    {"FONTCONFIG_FILE names another file", set("FONTCONFIG_FILE", dir + "/other.conf"), 1, 0, 1, cache},
    {"setup file touched", touch(dir + "/other.conf"), 1, 0, 1, cache},
    {"~/.fonts made", [&] { std::filesystem::create_directories(home + "/.fonts/sub"); }, 1, 0, 1, cache},
    {"a file put in a folder of ~/.fonts", [&] { write_file(home + "/.fonts/sub/new.txt", "x"); }, 1, 0, 1, cache},
    {"cache empty", damage(0, none), 1, 1, 1, cache},
    {"cache cut in its header", damage(27, none), 1, 1, 1, cache},
    {"cache cut after its header", damage(28, none), 1, 1, 1, cache},
    {"cache cut in its last glyph", damage(-1, none), 1, 1, 1, cache},
    {"cache magic changed", damage(all, 0), 1, 1, 1, cache},
    {"cache layout changed", damage(all, 8), 1, 1, 1, cache},
    {"cache part length changed", damage(all, 12), 1, 1, 1, cache},
    {"cache glyph bit flipped", damage(all, -1), 1, 1, 1, cache},
    {"cache garbage", [&] { write_file(cache, std::string(5000, 'Z')); }, 1, 1, 1, cache},
    {"cache a pipe", [&] { std::filesystem::remove(cache); mkfifo(cache.c_str(), 0600); }, 1, 1, 1, cache},
    {"XDG_CACHE_HOME relative", set("XDG_CACHE_HOME", "cache"), 1, 1, 1, home + "/.cache/tarvo/font-cache"},
    {"cache folder a file", set("XDG_CACHE_HOME", dir + "/filed"), 1, 1, 1, ""},
    {"cache folder impossible", set("XDG_CACHE_HOME", "/proc/self/tarvo"), 1, 1, 1, ""},
  };
  setenv("FONTCONFIG_FILE", (dir + "/fonts.conf").c_str(), 1);
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CACHE_HOME", (dir + "/cache").c_str(), 1);
  font_seen last = open_font();
  EXPECT_EQ(std::make_tuple(last.lookups, last.opens, last.masks.size()), std::make_tuple(1, 1, 256u * 8 * 16));
  for (const auto &row : rows) {
    unsetenv("TARVO_FONT");
    row.make();
    font_seen now = open_font(), again = open_font();
    EXPECT_EQ(std::make_pair(now.lookups, now.opens), std::make_pair(row.lookups, row.opens)) << row.change;
    EXPECT_EQ(now == last, (bool)row.same) << row.change;
    EXPECT_EQ(again.lookups + again.opens, row.cache.empty() ? 2 : 0) << row.change;
    EXPECT_TRUE(again == now && (row.cache.empty() || std::filesystem::exists(row.cache))) << row.change;
    last = now;
  }
  setenv("HOME", saved[0].c_str(), 1);
  saved[1].empty() ? unsetenv("XDG_CACHE_HOME") : setenv("XDG_CACHE_HOME", saved[1].c_str(), 1);
  unsetenv("FONTCONFIG_FILE");
}
