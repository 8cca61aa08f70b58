// micsim: the microphone simulator. See --help.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/micsim/device.h"
#include "tools/micsim/log.h"
#include "tools/micsim/options.h"
#include "tools/micsim/signals.h"
#include "tools/micsim/simulator.h"
#include "tools/micsim/state_file.h"

namespace vantor {

namespace {

std::string Describe(const micsim::TSettings& Settings) {
  return "button1=" + std::to_string(Settings[1]) + " button2=" + std::to_string(Settings[2]) +
         " button3=" + std::to_string(Settings[3]) + " mute=" + std::to_string(Settings[4]);
}

micsim::TSettings StartSettings(const micsim::TOptions& Options, micsim::TLog& Log) {
  if (Options.State.empty()) {
    Log.Line("state: defaults, kept in memory only");
    return {};
  }
  const micsim::TStateLoad Loaded = micsim::LoadState(Options.State);
  if (!Loaded.Settings) {
    Log.Line("state: " + Loaded.Problem + "; starting from the defaults");
    return {};
  }
  Log.Line("state: loaded from " + Options.State);
  return *Loaded.Settings;
}

}  // namespace

int Main(int argc, char** argv) {
  const micsim::TParsedOptions Parsed =
      micsim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!Parsed.Error.empty()) {
    std::fprintf(stderr, "micsim: %s (see --help)\n", Parsed.Error.c_str());
    return 2;
  }
  const micsim::TOptions& Options = Parsed.Options;
  if (Options.Help) {
    std::fputs(micsim::HelpText().c_str(), stdout);
    return 0;
  }
  try {
    micsim::TSignals Signals;
    micsim::TLog Log = Options.Log.empty() ? micsim::TLog() : micsim::TLog(Options.Log);
    micsim::TMicDevice Device(StartSettings(Options, Log), Options.Version, Options.AnswerAfter);
    Device.SetIgnoreWrites(Options.IgnoreWrites);
    Log.Line("device: " + Describe(Device.Settings()) + ", version " +
             std::to_string(Options.Version) + ", seed " + std::to_string(Options.Seed));
    micsim::TSimulator Simulator(Options, Log, Device);
    return Simulator.Run(Signals);
  } catch (const std::exception& E) {
    std::fprintf(stderr, "micsim: %s\n", E.what());
    return 1;
  }
}

}  // namespace vantor

int main(int argc, char** argv) {
  return vantor::Main(argc, argv);
}
