#include "discovery/posix/exclusive_probe.h"

#include "serial/posix/exclusive_open.h"

namespace vantor {

namespace {

class TTtyProbe : public TProbeHandle {
 public:
  explicit TTtyProbe(TExclusiveTty Tty) : FTty(std::move(Tty)) {}

 private:
  TExclusiveTty FTty;
};

}  // namespace

std::unique_ptr<TProbeHandle> ProbeExclusive(const std::string& Path) {
  int Error = 0;
  TExclusiveTty Tty = OpenExclusiveTty(Path, Error);
  if (!Tty.Valid())
    return nullptr;
  return std::make_unique<TTtyProbe>(std::move(Tty));
}

}  // namespace vantor
