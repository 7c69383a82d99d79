// The argument vector, wildcard expansion and the option table.
#include "core/core.h"
#include "core/state.h"
#include "support/support.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct CommandLine : ::testing::Test {
  std::string old_dir;
  void SetUp() override
  {
    char buf[1024];
    old_dir = getcwd(buf, sizeof buf);
    num_files = 0;
    default_rate = record_len = 10000;
    header_bytes = -1;
    no_header = 0;
  }
  void TearDown() override { EXPECT_EQ(chdir(old_dir.c_str()), 0); }
};

// The arguments after the program name, which must come first.
std::vector<std::string> split(const std::string &line)
{
  char *argv[MAX_ARGS] = {};
  int argc = split_command_line(line.c_str(), argv, "Tarvo");
  EXPECT_STREQ(argv[0], "Tarvo");
  return std::vector<std::string>(argv + 1, argv + argc);
}

void parse(std::vector<const char *> args)
{
  args.insert(args.begin(), "Tarvo");
  parse_options((int)args.size(), const_cast<char **>(args.data()));
}

using args = std::vector<std::string>;

TEST_F(CommandLine, QuotesKeepBlanksAndControlBytesEndTheLine)
{
  EXPECT_EQ(split("a.ils \"my file.ils\" b.ils"), (args{"a.ils", "my file.ils", "b.ils"}));
  EXPECT_EQ(split("\"a b"), args{"a b"}); // an unclosed quote runs to the end
  EXPECT_EQ(split("  a   b  "), (args{"a", "b"}));
  EXPECT_EQ(split(""), args{});
  EXPECT_EQ(split("\x01 a"), args{});
  EXPECT_EQ(split("a b\nc"), (args{"a", "b"}));
  EXPECT_EQ(split("a \xe9t\xe9"), args{"a"});
}

TEST_F(CommandLine, LongArgumentsAndAFullPoolAreDropped)
{
  EXPECT_EQ(split(std::string(200, 'x') + " " + std::string(199, 'y') + " z"), (args{std::string(199, 'y'), "z"}));
  // Arguments of 199 bytes take 200 of the 2000-byte pool: the eleventh no longer fits.
  std::string line;
  for (int i = 0; i < 11; i++)
    line += std::string(199, (char)('a' + i)) + " ";
  EXPECT_EQ(split(line).size(), 10u);
  // No more than 40 entries, the program name included.
  line.clear();
  for (int i = 0; i < 60; i++)
    line += "f" + std::to_string(i) + " ";
  EXPECT_EQ(split(line).size(), MAX_ARGS - 1u);
}

TEST_F(CommandLine, WildcardsExpandWithTheirDirectoryPart)
{
  std::string dir = scratch_dir("wild");
  for (const char *n : {"one.wav", "two.wav", "three.snd"})
    write_file(dir + "/" + n, "x");
  ASSERT_EQ(chdir(dir.c_str()), 0);
  EXPECT_EQ(split("*.wav none*.xyz"), (args{"one.wav", "two.wav"}));
  EXPECT_EQ(split(dir + "/t*"), (args{dir + "/three.snd", dir + "/two.wav"}));
  EXPECT_EQ(split("?ne.wav"), args{"one.wav"});
}

TEST_F(CommandLine, OptionsSetTheirVariablesAndConsumeTheirArgument)
{
  parse({"-r", "8000", "a.wav"});
  EXPECT_EQ(default_rate, 8000);
  EXPECT_EQ(record_len, 8000);
  ASSERT_EQ(num_files, 1);
  EXPECT_STREQ(file_names[0], "a.wav");
  num_files = 0;
  parse({"-r", "0", "-r", "abc", "-h", "-3", "-p", "sb", "b.wav"});
  EXPECT_EQ(default_rate, 8000);
  EXPECT_EQ(header_bytes, -1);
  ASSERT_EQ(num_files, 1);
  EXPECT_STREQ(file_names[0], "b.wav");
  parse({"-h", "44", "-nx", "-g", "VGA", "-m"});
  EXPECT_EQ(header_bytes, 44);
  EXPECT_EQ(no_header, 0);
  EXPECT_EQ(graphics_adaptor, 3);
  EXPECT_EQ(monochrome, 1);
  parse({"-nh", "-g"});
  EXPECT_EQ(no_header, 1);
  // Only five file names are kept.
  num_files = 0;
  parse({"1", "2", "3", "4", "5", "6"});
  ASSERT_EQ(num_files, 5);
  EXPECT_STREQ(file_names[4], "5");
}

} // namespace
