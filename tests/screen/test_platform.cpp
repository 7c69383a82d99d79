// The platform seen from outside: keys as the SDL window and key scripts
// deliver them, and the font file chosen.
#include "support/support.h"
#include <SDL.h>

// Codes one key press leaves, through the SDL window (script empty: the
// key sym, its modifiers and the text it types) or a key script line.
struct key_row { const char *script; SDL_Keycode sym; uint16_t mod; const char *text; std::vector<int> codes; };
const key_row key_rows[] = {
  {"", SDLK_x, 0, "x", {'x'}},
  {"", SDLK_h, KMOD_LALT, "h", {}},
  {"", SDLK_x, 0, "x", {'x'}}, // the text after an Alt key is typed again
  {"", SDLK_TAB, KMOD_LALT, "", {}},
  {"", SDLK_h, KMOD_LGUI, "h", {}},
  {"", SDLK_q, KMOD_RALT | KMOD_MODE, "@", {'@'}}, // AltGr types
  {"", SDLK_KP_4, 0, "", {KEY_LEFT}}, {"", SDLK_KP_6, 0, "", {KEY_RIGHT}},
  {"", SDLK_KP_8, 0, "", {KEY_UP}}, {"", SDLK_KP_2, 0, "", {KEY_DOWN}},
  {"", SDLK_KP_7, 0, "", {KEY_HOME}}, {"", SDLK_KP_1, 0, "", {KEY_END}},
  {"", SDLK_KP_9, 0, "", {KEY_PGUP}}, {"", SDLK_KP_3, 0, "", {KEY_PGDN}},
  {"", SDLK_KP_0, 0, "", {KEY_INS}}, {"", SDLK_KP_PERIOD, 0, "", {KEY_DEL}},
  {"", SDLK_KP_ENTER, 0, "", {KEY_ENTER}},
  {"", SDLK_KP_8, KMOD_NUM, "8", {'8'}}, {"", SDLK_KP_PERIOD, KMOD_NUM, ".", {'.'}},
  {"", SDLK_RETURN, KMOD_LCTRL, "", {10}}, {"key C-Enter", 0, 0, "", {10}},
  {"", SDLK_BACKSPACE, KMOD_LCTRL, "", {127}}, {"key C-Backspace", 0, 0, "", {127}},
  {"key S-x", 0, 0, "", {'X'}}, {"key x C-x S-Tab Space", 0, 0, "", {'x', 24, KEY_SHIFT_TAB, ' '}},
};

// Every row is followed by F8, whose code ends the row's codes.
static std::vector<int> codes_until_f8()
{
  std::vector<int> codes;
  for (int k; (k = wait_key()) != KEY_F8 && k != KEY_CTRL_C;)
    codes.push_back(k);
  return codes;
}

static void push_sdl_key(SDL_Keycode sym, uint16_t mod, const char *text)
{
  SDL_Event e = {};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mod;
  SDL_PushEvent(&e);
  if (*text) {
    SDL_Event t = {};
    t.type = SDL_TEXTINPUT;
    strcpy(t.text.text, text);
    SDL_PushEvent(&t);
  }
  e.type = SDL_KEYUP;
  SDL_PushEvent(&e);
}

TEST(Platform, KeysFromTheWindowAndFromScriptsGiveTheCodesOfAPcKeyboard)
{
  std::string dir = scratch_dir("platform_keys"), script;
  for (const key_row &row : key_rows)
    if (*row.script)
      script += std::string(row.script) + "\nkey F8\n";
  write_file(dir + "/keys.txt", script);
  for (const char *run : {"script", "sdl"}) {
    bool sdl = run == std::string("sdl");
    setenv("TARVO_SCRIPT", sdl ? "" : (dir + "/keys.txt").c_str(), 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("TARVO_SIZE", "640x480", 1);
    ASSERT_TRUE(plat_open("Tarvo", &scr_width, &scr_height));
    prepare_surface();
    key_slot = ctrl_down = shift_down = quit_flag = 0;
    for (const key_row &row : key_rows) {
      if (sdl && !*row.script) {
        push_sdl_key(row.sym, row.mod, row.text);
        push_sdl_key(SDLK_F8, 0, "");
      }
    }
    for (const key_row &row : key_rows) {
      if (sdl != (*row.script != 0)) {
        EXPECT_EQ(codes_until_f8(), row.codes) << (sdl ? SDL_GetKeyName(row.sym) : row.script) << " mod " << row.mod;
      }
    }
    release_surface();
    plat_close();
  }
  for (const char *name : {"TARVO_SCRIPT", "SDL_VIDEODRIVER", "TARVO_SIZE"})
    unsetenv(name);
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
  for (const auto &row : rows) {
    std::filesystem::remove_all(dir + "/fonts");
    std::filesystem::create_directories(dir + "/fonts");
    std::filesystem::copy_file(debian + row.font_in_dir, dir + "/fonts/copy.ttf");
    write_file(dir + "/fonts.conf", "<?xml version=\"1.0\"?>\n<fontconfig><dir>" + dir + "/fonts</dir><cachedir>" +
                                        dir + "/cache</cachedir></fontconfig>\n");
    setenv("FONTCONFIG_FILE", (dir + "/fonts.conf").c_str(), 1);
    setenv("TARVO_FONT", row.env, 1);
    EXPECT_EQ(plat_font_path(), row.path) << row.font_in_dir;
  }
  unsetenv("FONTCONFIG_FILE");
  unsetenv("TARVO_FONT");
}
