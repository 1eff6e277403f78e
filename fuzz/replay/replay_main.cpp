// Feeds every file under the folders (or the files) named on the command line to a fuzz target's
// entry point, as libFuzzer would, so that the committed seeds run in every build without the
// fuzzer. A finding crashes or traps, which fails the test.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Defined by the targets that make their process-wide objects before the first input.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {

void Replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  // A copy of exactly the file's size, so that a read past its end is caught under ASan.
  const std::vector<std::uint8_t> exact(bytes);
  LLVMFuzzerTestOneInput(exact.data(), exact.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
  std::size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path root(argv[i]);
    if (std::filesystem::is_directory(root)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        Replay(entry.path());
        ++count;
      }
    } else {
      Replay(root);
      ++count;
    }
  }
  std::cout << count << " inputs replayed\n";
  // Nothing to replay is a mistake in the test's set-up, not a pass.
  return count > 0 ? 0 : 1;
}
