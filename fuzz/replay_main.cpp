// Replays inputs through a fuzz target without the fuzzer: every file
// named, and every file in every folder named, once each.  Built by any
// compiler, so that the plain sanitizer build runs the committed corpus.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; i++) {
    if (std::filesystem::is_directory(argv[i])) {
      for (const auto &e : std::filesystem::directory_iterator(argv[i]))
        if (e.is_regular_file())
          inputs.push_back(e.path());
    } else {
      inputs.push_back(argv[i]);
    }
  }
  for (auto &p : inputs) // the target works in a folder of its own
    p = std::filesystem::absolute(p);
  LLVMFuzzerInitialize(&argc, &argv);
  for (const auto &p : inputs) {
    std::ifstream in(p, std::ios::binary);
    if (!in) {
      fprintf(stderr, "cannot read %s\n", p.c_str());
      return 1;
    }
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(data.data(), data.size());
  }
  printf("%zu inputs replayed\n", inputs.size());
  return inputs.empty(); // an empty corpus is a mistake, not a pass
}
