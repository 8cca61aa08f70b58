// Runs the fuzz target over the files given (or the files of the folders given) without
// libFuzzer, so that the seed corpus is a regression test in every native build.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);

namespace vantor {

namespace {

void Replay(const std::filesystem::path& File) {
  std::ifstream In(File, std::ios::binary);
  const std::vector<std::uint8_t> Bytes((std::istreambuf_iterator<char>(In)),
                                        std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(Bytes.data(), Bytes.size());
}

}  // namespace

int Main(int argc, char** argv) {
  int Count = 0;
  for (int I = 1; I < argc; ++I) {
    const std::filesystem::path Path = argv[I];
    if (std::filesystem::is_directory(Path)) {
      for (const auto& Entry : std::filesystem::directory_iterator(Path)) {
        Replay(Entry.path());
        ++Count;
      }
    } else {
      Replay(Path);
      ++Count;
    }
  }
  std::printf("replayed %d inputs\n", Count);
  return Count > 0 ? 0 : 1;
}

}  // namespace vantor

int main(int argc, char** argv) {
  return vantor::Main(argc, argv);
}
