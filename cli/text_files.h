// Reading and writing the tool's files, "-" standing for standard input or output.
#pragma once

#include <cstddef>
#include <string>

namespace vantor {

// At most Limit + 1 bytes are read, so that the caller can tell a file that is too large
// without reading it whole. False with Error set when it cannot be read.
bool ReadTextFile(const std::string& Path, std::size_t Limit, std::string& Text,
                  std::string& Error);
// False with Error set when it cannot be written whole.
bool WriteTextFile(const std::string& Path, const std::string& Text, std::string& Error);

}  // namespace vantor
