// The argument vector, wildcard expansion and the option table.
#include "support/support.h"

struct CommandLine : ::testing::Test {
  std::string old_dir;
  void SetUp() override
  {
    old_dir = std::filesystem::current_path();
    num_files = 0;
    default_rate = record_len = 10000;
    header_bytes = graphics_adaptor = -1;
    no_header = monochrome = 0;
  }
  void TearDown() override { EXPECT_EQ(chdir(old_dir.c_str()), 0); }
};

// The arguments after the program name, which must come first.
static std::vector<std::string> split(const std::string &line)
{
  char *argv[MAX_ARGS] = {};
  int argc = split_command_line(line.c_str(), argv, "Tarvo");
  EXPECT_STREQ(argv[0], "Tarvo");
  return std::vector<std::string>(argv + 1, argv + argc);
}

using args = std::vector<std::string>;

TEST_F(CommandLine, QuotesKeepBlanksLongArgumentsAreDroppedWildcardsExpandAndOptionsConsumeTheirArgument)
{
  std::string y199(199, 'y');
  struct { std::string line; args want; } cases[] = {
    {"a.ils \"my file.ils\" b.ils", {"a.ils", "my file.ils", "b.ils"}}, {"\"a b", {"a b"}}, // an unclosed quote runs to the end
    {"  a   b  ", {"a", "b"}}, {"", {}}, {"\x01 a", {}}, {"a b\nc", {"a", "b"}}, {"a \xe9t\xe9", {"a"}},
    {std::string(200, 'x') + " " + y199 + " z", {y199, "z"}},
  };
  for (auto &c : cases)
    EXPECT_EQ(split(c.line), c.want) << c.line;
  // Arguments of 199 bytes take 200 of the 2000-byte pool: the eleventh no
  // longer fits; and no more than 40 entries, the program name included.
  std::string pool, many;
  for (int i = 0; i < 60; i++) {
    pool += i < 11 ? std::string(199, (char)('a' + i)) + " " : "";
    many += "f" + std::to_string(i) + " ";
  }
  EXPECT_EQ(split(pool).size(), 10u);
  EXPECT_EQ(split(many).size(), MAX_ARGS - 1u);
  std::string dir = scratch_dir("wild");
  for (const char *n : {"one.wav", "two.wav", "three.snd"})
    write_file(dir + "/" + n, "x");
  ASSERT_EQ(chdir(dir.c_str()), 0);
  EXPECT_EQ(split("*.wav none*.xyz"), (args{"one.wav", "two.wav"}));
  EXPECT_EQ(split(dir + "/t*"), (args{dir + "/three.snd", dir + "/two.wav"}));
  EXPECT_EQ(split("?ne.wav"), args{"one.wav"});
  // state: rate, recording length, header, -nh, adaptor, monochrome, and files kept
  struct { std::vector<const char *> args; std::vector<int> state; const char *last_file; } steps[] = {
    {{"-r", "8000", "a.wav"}, {8000, 8000, -1, 0, -1, 0, 1}, "a.wav"},
    {{"-r", "0", "-r", "abc", "-h", "-3", "-p", "sb", "b.wav"}, {8000, 8000, -1, 0, -1, 0, 2}, "b.wav"},
    {{"-h", "44", "-nx", "-g", "VGA", "-m"}, {8000, 8000, 44, 0, 3, 1, 2}, "b.wav"},
    {{"-nh", "-g"}, {8000, 8000, 44, 1, 3, 1, 2}, "b.wav"},
    {{"1", "2", "3", "4", "5", "6"}, {8000, 8000, 44, 1, 3, 1, 5}, "3"}, // only five file names are kept
  };
  for (auto &s : steps) {
    s.args.insert(s.args.begin(), "Tarvo");
    parse_options((int)s.args.size(), const_cast<char **>(s.args.data()));
    EXPECT_EQ(std::vector({default_rate, record_len, header_bytes, no_header, graphics_adaptor, monochrome, num_files}),
              s.state) << s.args[1];
    EXPECT_STREQ(file_names[std::max(num_files - 1, 0)], s.last_file);
  }
}

