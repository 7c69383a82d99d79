// The platform seen from outside: keys as the SDL window and key scripts
// deliver them, and the font file chosen.
#include "support/support.h"
#include <SDL.h>

// Codes key presses leave, from a key script line or (script empty) the
// SDL window: key sym, modifiers, the text the key types.
struct key_row { const char *script; SDL_Keycode sym; uint16_t mod; const char *text; std::vector<int> codes; };
const key_row key_rows[] = {
  {"key Left S-Left C-Left S-C-Left Right S-Right S-C-Right Home C-Home End C-End Up Down PgUp PgDn Ins Del F1 F8 "
   "Tab S-Tab Enter Esc x S-x C-x Space C-Enter C-Backspace", 0, 0, "",
   {331, 52, 371, 371, 333, 54, 372, 327, 375, 335, 373, 328, 336, 329, 337, 338, 339, 315, 322, 9, 271, 13, 27,
    'x', 'X', 24, ' ', 10, 127}},
  {"", SDLK_x, 0, "x", {'x'}}, {"", SDLK_h, KMOD_LALT, "h", {}}, {"", SDLK_x, 0, "x", {'x'}},
  {"", SDLK_TAB, KMOD_LALT, "", {}}, {"", SDLK_h, KMOD_LGUI, "h", {}}, {"", SDLK_q, KMOD_RALT | KMOD_MODE, "@", {'@'}},
  {"", SDLK_KP_4, 0, "", {KEY_LEFT}}, {"", SDLK_KP_6, 0, "", {KEY_RIGHT}}, {"", SDLK_KP_8, 0, "", {KEY_UP}},
  {"", SDLK_KP_2, 0, "", {KEY_DOWN}}, {"", SDLK_KP_7, 0, "", {KEY_HOME}}, {"", SDLK_KP_1, 0, "", {KEY_END}},
  {"", SDLK_KP_9, 0, "", {KEY_PGUP}}, {"", SDLK_KP_3, 0, "", {KEY_PGDN}}, {"", SDLK_KP_0, 0, "", {KEY_INS}},
  {"", SDLK_KP_PERIOD, 0, "", {KEY_DEL}}, {"", SDLK_KP_ENTER, 0, "", {KEY_ENTER}},
  {"", SDLK_KP_8, KMOD_NUM, "8", {'8'}}, {"", SDLK_KP_PERIOD, KMOD_NUM, ".", {'.'}},
  {"", SDLK_RETURN, KMOD_LCTRL, "", {10}}, {"", SDLK_BACKSPACE, KMOD_LCTRL, "", {127}},
};

static void push_sdl(uint32_t type, SDL_Keycode sym, uint16_t mod, const char *text = "")
{
  SDL_Event e = {};
  e.type = type;
  e.key.keysym = {SDL_SCANCODE_UNKNOWN, sym, mod, 0};
  if (type == SDL_TEXTINPUT)
    strcpy(e.text.text, text);
  SDL_PushEvent(&e);
}

// Every row is followed by F9, then z: the codes before the z are the row's.
TEST(Platform, KeysFromTheWindowAndFromScriptsGiveTheCodesOfAPcKeyboard)
{
  std::string dir = scratch_dir("platform_keys");
  write_file(dir + "/keys.txt", std::string(key_rows[0].script) + "\nkey F9 z\n");
  for (int sdl : {0, 1}) {
    setenv("TARVO_SCRIPT", sdl ? "" : (dir + "/keys.txt").c_str(), 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_TRUE(plat_open("Tarvo", &scr_width, &scr_height));
    prepare_surface();
    key_slot = ctrl_down = shift_down = quit_flag = 0;
    for (const key_row &row : key_rows) {
      if (sdl != !*row.script)
        continue;
      for (auto [sym, mod, text] : {std::tuple(row.sym, row.mod, row.text), {SDLK_F9, 0, ""}, {SDLK_z, 0, "z"}}) {
        if (!sdl) break;
        push_sdl(SDL_KEYDOWN, sym, mod);
        if (*text) push_sdl(SDL_TEXTINPUT, 0, 0, text);
        push_sdl(SDL_KEYUP, sym, mod);
      }
      std::vector<int> codes;
      for (int k; (k = wait_key()) != 'z' && k != KEY_CTRL_C;)
        codes.push_back(k);
      EXPECT_EQ(codes, row.codes) << (sdl ? SDL_GetKeyName(row.sym) : row.script) << " mod " << row.mod;
    }
    release_surface();
    plat_close();
  }
  unsetenv("TARVO_SCRIPT");
  unsetenv("SDL_VIDEODRIVER");
}

// The font: TARVO_FONT wins; else fontconfig's match for DejaVu Sans Mono
// when it is fixed-pitch; else the fixed Debian path.
TEST(Platform, FontFileFromTheEnvironmentFontconfigOrTheDebianPath)
{
  const std::string debian = "/usr/share/fonts/truetype/dejavu/", dir = scratch_dir("platform_font");
  struct { const char *env, *font_in_dir; std::string path; } rows[] = {
    {"/nowhere/any.ttf", "DejaVuSansMono.ttf", "/nowhere/any.ttf"},
    {"", "DejaVuSansMono.ttf", dir + "/fonts/copy.ttf"},
    {"", "DejaVuSans.ttf", debian + "DejaVuSansMono.ttf"},
  };
  setenv("FONTCONFIG_FILE", (dir + "/fonts.conf").c_str(), 1);
  write_file(dir + "/fonts.conf", "<fontconfig><dir>" + dir + "/fonts</dir><cachedir>" + dir + "/cache</cachedir></fontconfig>");
  for (const auto &row : rows) {
    std::filesystem::remove_all(dir + "/fonts");
    std::filesystem::create_directories(dir + "/fonts");
    std::filesystem::copy_file(debian + row.font_in_dir, dir + "/fonts/copy.ttf");
    setenv("TARVO_FONT", row.env, 1);
    EXPECT_EQ(plat_font_path(), row.path) << row.font_in_dir;
  }
  unsetenv("FONTCONFIG_FILE");
  unsetenv("TARVO_FONT");
}
