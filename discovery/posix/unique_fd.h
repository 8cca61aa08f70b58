// A file descriptor that is closed with its owner.
#pragma once

#include <unistd.h>

#include <utility>

namespace vantor {

class TUniqueFd {
 public:
  TUniqueFd() = default;
  explicit TUniqueFd(int Fd) : FFd(Fd) {}
  TUniqueFd(TUniqueFd&& Other) noexcept : FFd(std::exchange(Other.FFd, -1)) {}
  TUniqueFd& operator=(TUniqueFd&& Other) noexcept {
    if (this != &Other)
      Reset(std::exchange(Other.FFd, -1));
    return *this;
  }
  TUniqueFd(const TUniqueFd&) = delete;
  TUniqueFd& operator=(const TUniqueFd&) = delete;
  ~TUniqueFd() { Reset(); }

  int Get() const { return FFd; }
  explicit operator bool() const { return FFd >= 0; }
  void Reset(int Fd = -1) {
    if (FFd >= 0)
      ::close(FFd);
    FFd = Fd;
  }

 private:
  int FFd = -1;
};

}  // namespace vantor
