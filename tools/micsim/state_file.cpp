#include "tools/micsim/state_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <vector>

#include "base/system_error.h"

namespace vantor {

namespace micsim {

namespace {

constexpr std::array<const char*, 4> kNames = {"button1", "button2", "button3", "mute"};

std::string SystemError(const std::string& What) {
  return What + ": " + SystemErrorText(static_cast<std::uint32_t>(errno));
}

std::string Trim(const std::string& Text) {
  const auto First = Text.find_first_not_of(" \t\r");
  if (First == std::string::npos)
    return "";
  const auto Last = Text.find_last_not_of(" \t\r");
  return Text.substr(First, Last - First + 1);
}

std::optional<std::uint8_t> ParseByte(const std::string& Text) {
  if (Text.empty() || Text.size() > 3)
    return std::nullopt;
  int Value = 0;
  for (const char C : Text) {
    if (C < '0' || C > '9')
      return std::nullopt;
    Value = Value * 10 + (C - '0');
  }
  if (Value > 255)
    return std::nullopt;
  return static_cast<std::uint8_t>(Value);
}

std::string FolderOf(const std::string& Path) {
  const auto Slash = Path.find_last_of('/');
  if (Slash == std::string::npos)
    return ".";
  if (Slash == 0)
    return "/";
  return Path.substr(0, Slash);
}

// Removes the temporary unless the rename has made it the state file.
class TTempFile {
 public:
  explicit TTempFile(const std::string& Template) {
    std::vector<char> Buffer(Template.begin(), Template.end());
    Buffer.push_back('\0');
    FFd = mkstemp(Buffer.data());
    if (FFd >= 0)
      FName = Buffer.data();
  }
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;
  ~TTempFile() {
    Close();
    if (!FName.empty())
      unlink(FName.c_str());
  }
  int Fd() const { return FFd; }
  const std::string& Name() const { return FName; }
  bool Close() {
    if (FFd < 0)
      return true;
    const bool Ok = close(FFd) == 0;
    FFd = -1;
    return Ok;
  }
  void Renamed() { FName.clear(); }

 private:
  std::string FName;
  int FFd = -1;
};

bool WriteAll(int Fd, const std::string& Text) {
  std::size_t Done = 0;
  while (Done < Text.size()) {
    const ssize_t N = write(Fd, Text.data() + Done, Text.size() - Done);
    if (N < 0 && errno == EINTR)
      continue;
    if (N <= 0)
      return false;
    Done += static_cast<std::size_t>(N);
  }
  return true;
}

}  // namespace

std::string FormatState(const TSettings& Settings) {
  std::string Text;
  for (int Index = 1; Index <= 4; ++Index) {
    Text += std::string(kNames[static_cast<std::size_t>(Index - 1)]) + "=" +
            std::to_string(Settings[Index]) + "\n";
  }
  return Text;
}

std::optional<TSettings> ParseState(const std::string& Text) {
  TSettings Settings;
  std::array<bool, 4> Seen{};
  std::istringstream Lines(Text);
  std::string Line;
  while (std::getline(Lines, Line)) {
    Line = Trim(Line);
    if (Line.empty() || Line[0] == '#')
      continue;
    const auto Equals = Line.find('=');
    if (Equals == std::string::npos)
      return std::nullopt;
    const std::string Name = Trim(Line.substr(0, Equals));
    const auto Value = ParseByte(Trim(Line.substr(Equals + 1)));
    if (!Value)
      return std::nullopt;
    std::size_t Slot = kNames.size();
    for (std::size_t I = 0; I < kNames.size(); ++I) {
      if (Name == kNames[I])
        Slot = I;
    }
    if (Slot == kNames.size() || Seen[Slot])
      return std::nullopt;
    Seen[Slot] = true;
    Settings.Values[Slot] = *Value;
  }
  for (const bool Found : Seen) {
    if (!Found)
      return std::nullopt;
  }
  return Settings;
}

TStateLoad LoadState(const std::string& Path) {
  std::ifstream File(Path, std::ios::binary);
  if (!File)
    return {std::nullopt, SystemError("cannot open " + Path)};
  std::ostringstream Text;
  Text << File.rdbuf();
  if (File.bad())
    return {std::nullopt, "cannot read " + Path};
  auto Settings = ParseState(Text.str());
  if (!Settings)
    return {std::nullopt, Path + " is not a state file"};
  return {Settings, ""};
}

std::string SaveState(const std::string& Path, const TSettings& Settings) {
  const std::string Folder = FolderOf(Path);
  const std::string Base = Path.substr(Path.find_last_of('/') + 1);
  TTempFile Temp(Folder + "/." + Base + ".XXXXXX");
  if (Temp.Fd() < 0)
    return SystemError("cannot create a temporary file in " + Folder);
  fchmod(Temp.Fd(), 0644);  // mkstemp's 0600 would hide the file from other users
  if (!WriteAll(Temp.Fd(), FormatState(Settings)))
    return SystemError("cannot write " + Temp.Name());
  if (fsync(Temp.Fd()) != 0)
    return SystemError("cannot sync " + Temp.Name());
  if (!Temp.Close())
    return SystemError("cannot close " + Temp.Name());
  if (rename(Temp.Name().c_str(), Path.c_str()) != 0)
    return SystemError("cannot replace " + Path);
  Temp.Renamed();
  // Make the rename itself durable; the file is already complete either way.
  const int Dir = open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Dir >= 0) {
    fsync(Dir);
    close(Dir);
  }
  return "";
}

}  // namespace micsim

}  // namespace vantor
