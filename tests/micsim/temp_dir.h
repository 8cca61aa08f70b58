// A fresh folder for one test, removed with everything in it at the end.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vantor {

class TTempDir {
 public:
  TTempDir() {
    std::string Template = (std::filesystem::temp_directory_path() / "micsim-test-XXXXXX").string();
    if (mkdtemp(Template.data()) != nullptr)
      FPath = Template;
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  ~TTempDir() {
    std::error_code Ignored;
    if (!FPath.empty())
      std::filesystem::remove_all(FPath, Ignored);
  }
  const std::filesystem::path& Path() const { return FPath; }
  std::string operator/(const std::string& Name) const { return (FPath / Name).string(); }

 private:
  std::filesystem::path FPath;
};

}  // namespace vantor
