// The platform seen from outside: keys as the SDL window and key scripts
// deliver them, and the font file chosen.
#include "support/support.h"
#include <SDL.h>

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
