// The argument vector, wildcard expansion and the option table.
#include "core/core.h"
#include "core/state.h"
#include "support/support.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

struct CommandLine : ::testing::Test {
  char *argv[MAX_ARGS] = {};
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
  void TearDown() override
  {
    if (chdir(old_dir.c_str()) != 0)
      ADD_FAILURE();
  }
};

TEST_F(CommandLine, QuotedArgumentsKeepTheirBlanks)
{
  int argc = split_command_line("a.ils \"my file.ils\" b.ils", argv, "Tarvo");
  ASSERT_EQ(argc, 4);
  EXPECT_STREQ(argv[0], "Tarvo");
  EXPECT_STREQ(argv[1], "a.ils");
  EXPECT_STREQ(argv[2], "my file.ils");
  EXPECT_STREQ(argv[3], "b.ils");
}

TEST_F(CommandLine, ControlBytesEndTheLine)
{
  EXPECT_EQ(split_command_line("", argv, "Tarvo"), 1);
  EXPECT_EQ(split_command_line("\x01 a", argv, "Tarvo"), 1);
  EXPECT_EQ(split_command_line("a b\nc", argv, "Tarvo"), 3);
  EXPECT_EQ(split_command_line("a \xe9t\xe9", argv, "Tarvo"), 2);
  EXPECT_EQ(split_command_line("  a   b  ", argv, "Tarvo"), 3);
  // An unclosed quote runs to the end.
  ASSERT_EQ(split_command_line("\"a b", argv, "Tarvo"), 2);
  EXPECT_STREQ(argv[1], "a b");
}

TEST_F(CommandLine, LongArgumentsAndAFullPoolAreDropped)
{
  std::string long_arg(200, 'x');
  std::string ok_arg(199, 'y');
  int argc = split_command_line((long_arg + " " + ok_arg + " z").c_str(), argv, "Tarvo");
  ASSERT_EQ(argc, 3);
  EXPECT_EQ(strlen(argv[1]), 199u);
  EXPECT_STREQ(argv[2], "z");

  // Arguments of 199 bytes take 200 of the 2000-byte pool: the eleventh
  // no longer fits.
  std::string line;
  for (int i = 0; i < 11; i++)
    line += std::string(199, (char)('a' + i)) + " ";
  EXPECT_EQ(split_command_line(line.c_str(), argv, "Tarvo"), 1 + 10);

  // No more than 40 entries, the program name included.
  line.clear();
  for (int i = 0; i < 60; i++)
    line += "f" + std::to_string(i) + " ";
  EXPECT_EQ(split_command_line(line.c_str(), argv, "Tarvo"), MAX_ARGS);
}

TEST_F(CommandLine, WildcardsExpandWithTheirDirectoryPart)
{
  std::string dir = scratch_dir("wild");
  for (const char *n : {"one.wav", "two.wav", "three.snd"})
    write_file(dir + "/" + n, "x");
  ASSERT_EQ(chdir(dir.c_str()), 0);
  int argc = split_command_line("*.wav none*.xyz", argv, "Tarvo");
  ASSERT_EQ(argc, 3);
  EXPECT_STREQ(argv[1], "one.wav");
  EXPECT_STREQ(argv[2], "two.wav");

  argc = split_command_line((dir + "/t*").c_str(), argv, "Tarvo");
  ASSERT_EQ(argc, 3);
  EXPECT_EQ(std::string(argv[1]), dir + "/three.snd");
  EXPECT_EQ(std::string(argv[2]), dir + "/two.wav");

  argc = split_command_line("?ne.wav", argv, "Tarvo");
  ASSERT_EQ(argc, 2);
  EXPECT_STREQ(argv[1], "one.wav");
}

TEST_F(CommandLine, OptionsSetTheirVariablesAndConsumeTheirArgument)
{
  char *args[] = {(char *)"Tarvo", (char *)"-r", (char *)"8000", (char *)"a.wav"};
  parse_options(4, args);
  EXPECT_EQ(default_rate, 8000);
  EXPECT_EQ(record_len, 8000);
  ASSERT_EQ(num_files, 1);
  EXPECT_STREQ(file_names[0], "a.wav");

  num_files = 0;
  char *bad[] = {(char *)"Tarvo", (char *)"-r", (char *)"0", (char *)"-r", (char *)"abc",
                 (char *)"-h", (char *)"-3", (char *)"-p", (char *)"sb", (char *)"b.wav"};
  parse_options(10, bad);
  EXPECT_EQ(default_rate, 8000);
  EXPECT_EQ(header_bytes, -1);
  ASSERT_EQ(num_files, 1);
  EXPECT_STREQ(file_names[0], "b.wav");

  char *more[] = {(char *)"Tarvo", (char *)"-h", (char *)"44", (char *)"-nx", (char *)"-g", (char *)"VGA",
                  (char *)"-m"};
  parse_options(7, more);
  EXPECT_EQ(header_bytes, 44);
  EXPECT_EQ(no_header, 0);
  EXPECT_EQ(graphics_adaptor, 3);
  EXPECT_EQ(monochrome, 1);
  char *nh[] = {(char *)"Tarvo", (char *)"-nh", (char *)"-g"};
  parse_options(3, nh);
  EXPECT_EQ(no_header, 1);
}

TEST_F(CommandLine, OnlyFiveFileNamesAreKept)
{
  char *args[] = {(char *)"Tarvo", (char *)"1", (char *)"2", (char *)"3", (char *)"4", (char *)"5", (char *)"6"};
  parse_options(7, args);
  ASSERT_EQ(num_files, 5);
  EXPECT_STREQ(file_names[4], "5");
}

} // namespace
