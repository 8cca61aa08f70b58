// The real vantor-mic against the real simulator over pseudo-terminals: every command and
// every exit status, as a user or a script sees them.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "tests/cli/program_run.h"
#include "tests/micsim/micsim_process.h"
#include "tests/micsim/temp_dir.h"

namespace vantor {

namespace {

using nlohmann::json;

// micsim's memory: F8 in the centre, left off, right F2, mute on.
constexpr const char* kF8OffF2MuteOn = "button1=65\nbutton2=255\nbutton3=59\nmute=1\n";

struct TMic {
  std::unique_ptr<TMicsimProcess> Process;
  std::string Port, Log, State;
};

std::string ReadFile(const std::string& Path) {
  std::ifstream In(Path);
  std::stringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

bool Has(const std::string& Text, const std::string& Part) {
  return Text.find(Part) != std::string::npos;
}

class VantorMic : public ::testing::Test {
 protected:
  TMic StartMic(const std::string& Name, std::vector<std::string> Args,
                const std::string& Memory = "") {
    TMic Mic;
    Mic.Log = Dir / (Name + ".log");
    Mic.State = Dir / (Name + ".state");
    if (!Memory.empty())
      std::ofstream(Mic.State) << Memory;
    Args.insert(Args.end(), {"--state", Mic.State, "--log", Mic.Log});
    Mic.Process = std::make_unique<TMicsimProcess>(Args, Dir / (Name + ".err"));
    Mic.Port = Mic.Process->NextPort();
    EXPECT_FALSE(Mic.Port.empty()) << "micsim did not start";
    return Mic;
  }

  static TProgramRun Tool(std::vector<std::string> Args, const std::string& Input = "") {
    Args.insert(Args.begin(), VANTOR_MIC_PATH);
    return RunProgram(Args, Input);
  }

  // Standard output as JSON; a failure when it is anything else, or when the document does
  // not keep the schema the tool publishes.
  static json Document(const TProgramRun& Run) {
    const TProgramRun Check = RunProgram({"python3", VALIDATE_JSON, JSON_SCHEMA}, Run.Out);
    EXPECT_EQ(Check.Status, 0) << Check.Out << Check.Err << Run.Out;
    try {
      return json::parse(Run.Out);
    } catch (const json::exception& E) {
      ADD_FAILURE() << "not JSON: " << E.what() << "\n" << Run.Out;
      return json();
    }
  }

  static int Count(const TMic& Mic, const std::string& Line) {
    const std::string Log = ReadFile(Mic.Log);
    int Found = 0;
    for (auto At = Log.find(Line); At != std::string::npos; At = Log.find(Line, At + 1))
      ++Found;
    return Found;
  }
  static int Writes(const TMic& Mic) { return Count(Mic, "rx AA 06 03"); }

  TTempDir Dir;
};

TEST_F(VantorMic, ShowPrintsFirmwareAndSettingsAsTextAndAsJson) {
  const TMic Mic = StartMic("mic", {"--version", "13"}, kF8OffF2MuteOn);
  const TProgramRun Text = Tool({"show", "--port", Mic.Port});
  EXPECT_EQ(Text.Status, 0) << Text.Err;
  EXPECT_EQ(Text.Out, Mic.Port +
                          ": firmware 1.3\n  centre  F8\n  left    off\n  right   F2\n"
                          "  mute    on\n");
  EXPECT_EQ(Text.Err, "");

  // Options may come before the command too; standard output holds only the document.
  const TProgramRun Json = Tool({"--json", "show", "--port", Mic.Port});
  EXPECT_EQ(Json.Status, 0);
  EXPECT_EQ(Document(Json), json::parse(R"({"version": 1, "microphones": [{"port": ")" + Mic.Port +
                                        R"(", "firmware": "1.3", "settings": {"centre": "F8", )"
                                        R"("left": "off", "right": "F2", "mute": true}}],)"
                                        R"( "problems": [], "messages": []})"));
  EXPECT_EQ(Writes(Mic), 0);
}

TEST_F(VantorMic, SetWritesVerifiesAndKeepsWhatItDoesNotName) {
  const TMic Mic = StartMic("mic", {}, kF8OffF2MuteOn);
  const TProgramRun Dry = Tool({"set", "--port", Mic.Port, "left=f3", "--dry-run"});
  EXPECT_EQ(Dry.Status, 0) << Dry.Err;
  EXPECT_TRUE(Has(Dry.Out, "would write centre F8, left F3, right F2, mute on")) << Dry.Out;
  EXPECT_EQ(Writes(Mic), 0);

  const TProgramRun Set = Tool({"set", "--port", Mic.Port, "left=f3"});
  EXPECT_EQ(Set.Status, 0) << Set.Err;
  EXPECT_EQ(Set.Out, Mic.Port + ": written and read back: centre F8, left F3, right F2, mute on\n");
  EXPECT_EQ(Set.Err,
            "vantor-mic: note: mute stays on until a window saves: both windows switch it off "
            "whenever they save\n");
  // The window's eight Save frames, mute written as the device had it.
  EXPECT_EQ(Count(Mic, "rx AA 06 03 04 01 BB"), 1);
  EXPECT_EQ(Writes(Mic), 4);
  EXPECT_EQ(ReadFile(Mic.State), "button1=65\nbutton2=60\nbutton3=59\nmute=1\n");

  // A swap is judged on the result; JSON tells before, after and the verification.
  const TProgramRun Swap =
      Tool({"set", "--port", Mic.Port, "left=F2", "right=F3", "mute=off", "--json"});
  EXPECT_EQ(Swap.Status, 0) << Swap.Err;
  const json Result = Document(Swap)["microphones"][0];
  EXPECT_EQ(Result["before"]["left"], "F3");
  EXPECT_EQ(Result["after"],
            json::parse(R"({"centre":"F8","left":"F2","right":"F3","mute":false})"));
  EXPECT_EQ(Result["written"], true);
  EXPECT_EQ(Result["verified"], true);
  EXPECT_EQ(ReadFile(Mic.State), "button1=65\nbutton2=59\nbutton3=60\nmute=0\n");
}

TEST_F(VantorMic, RefusalsNameTheSettingAndWriteNothing) {
  const TMic Mic = StartMic("mic", {}, kF8OffF2MuteOn);
  const TProgramRun Duplicate = Tool({"set", "--port", Mic.Port, "left=F2"});
  EXPECT_EQ(Duplicate.Status, 3);
  EXPECT_TRUE(Has(Duplicate.Err, "left=F2: F2 is already set for right")) << Duplicate.Err;
  const TProgramRun Off = Tool({"set", "--port", Mic.Port, "centre=off", "left=F2"});
  EXPECT_EQ(Off.Status, 3);
  EXPECT_TRUE(Has(Off.Err, "centre=off: the centre button cannot be switched off"));
  EXPECT_TRUE(Has(Off.Err, "left=F2: F2 is already set for right"));
  EXPECT_EQ(Writes(Mic), 0);

  // Usage errors end before any port is opened.
  for (const std::vector<std::string>& Args :
       std::vector<std::vector<std::string>>{{"set", "--port", Mic.Port},
                                             {"set", "--port", Mic.Port, "top=F1"},
                                             {"set", "--port", Mic.Port, "right=F13"},
                                             {"set", "--port", Mic.Port, "mute=yes"},
                                             {"show", "--timeout", "0", "--port", Mic.Port},
                                             {"frobnicate"},
                                             {}}) {
    const TProgramRun Usage = Tool(Args);
    EXPECT_EQ(Usage.Status, 1) << (Args.empty() ? "no command" : Args.back());
    EXPECT_EQ(Usage.Out, "");
  }
  EXPECT_EQ(Count(Mic, "rx AA"), Count(Mic, "rx AA 05 01 00 BB") + 5 * 2);  // two reads only
}

TEST_F(VantorMic, HelpListsTheExitStatusesAndVersionTheRelease) {
  const TProgramRun Help = Tool({"--help"});
  EXPECT_EQ(Help.Status, 0);
  for (const char* Part :
       {"list", "show", "set", "backup", "restore", "check", "diagnose", "--port", "--timeout",
        "--json", "--verbose", "Exit status", "5  the ", "6  check"})
    EXPECT_TRUE(Has(Help.Out, Part)) << Part;
  // A command's help lists its own options, the common ones included, not the table again.
  for (const std::vector<std::string>& Args :
       std::vector<std::vector<std::string>>{{"set", "--help"}, {"help", "set"}}) {
    const TProgramRun SetHelp = Tool(Args);
    EXPECT_EQ(SetHelp.Status, 0);
    for (const char* Part : {"--port", "--json", "--timeout", "--dry-run", "--force"})
      EXPECT_TRUE(Has(SetHelp.Out, Part)) << Part;
    EXPECT_FALSE(Has(SetHelp.Out, "Exit status:")) << SetHelp.Out;
  }
  EXPECT_TRUE(Has(Tool({"help"}).Out, "Exit status:"));
  // Mistakes name what was wrong.
  const TProgramRun Typo = Tool({"shwo"});
  EXPECT_EQ(Typo.Status, 1);
  EXPECT_TRUE(Has(Typo.Err, "\"shwo\" is not a command; the nearest is \"show\"")) << Typo.Err;
  const TProgramRun Number = Tool({"show", "--timeout", "abc"});
  EXPECT_EQ(Number.Status, 1);
  EXPECT_TRUE(Has(Number.Err, "--timeout: \"abc\" is not a number of milliseconds")) << Number.Err;
  EXPECT_TRUE(Has(Tool({"--json"}).Err, "name a command: list, show, set"));
  EXPECT_EQ(Tool({"help", "frobnicate"}).Status, 1);
  // A script that asked for JSON learns why even when the command never ran.
  const TProgramRun JsonUsage = Tool({"--json", "set", "left=F13"});
  EXPECT_EQ(JsonUsage.Status, 1);
  EXPECT_EQ(Document(JsonUsage)["error"], "left=F13: only F1 to F12 or off can be set");
  EXPECT_EQ(Tool({"show", "--port", ""}).Status, 1);
  const TProgramRun Version = Tool({"--version"});
  EXPECT_EQ(Version.Status, 0);
  EXPECT_TRUE(Has(Version.Out, "vantor-mic ")) << Version.Out;
}

TEST_F(VantorMic, ABackupRestoresOntoASecondMicrophone) {
  const TMic First = StartMic("first", {}, kF8OffF2MuteOn);
  const TMic Second = StartMic("second", {"--version", "11"});
  const std::string File = Dir / "mic.json";
  const TProgramRun Backup = Tool({"backup", "--port", First.Port, File});
  EXPECT_EQ(Backup.Status, 0) << Backup.Err;
  EXPECT_EQ(ReadFile(File),
            "{\"format\": 1, \"firmware\": \"1.2\", \"settings\": {\"centre\": \"F8\", \"left\": "
            "\"off\", \"right\": \"F2\", \"mute\": true}}\n");
  const TProgramRun ToStdout = Tool({"backup", "--port", First.Port, "-"});
  EXPECT_EQ(ToStdout.Out, ReadFile(File));
  const TProgramRun Check =
      RunProgram({"python3", VALIDATE_JSON, JSON_SCHEMA, "backupFile"}, ReadFile(File));
  EXPECT_EQ(Check.Status, 0) << Check.Out << Check.Err;

  const TProgramRun Restore = Tool({"restore", "--port", Second.Port, File});
  EXPECT_EQ(Restore.Status, 0) << Restore.Err;
  EXPECT_TRUE(Has(Restore.Err, "warning: " + Second.Port +
                                   ": the backup was made from firmware 1.2, this microphone "
                                   "has 1.1"));
  EXPECT_EQ(ReadFile(Second.State), "button1=65\nbutton2=255\nbutton3=59\nmute=1\n");

  // From standard input, as JSON.
  const TProgramRun Piped = Tool({"restore", "--port", Second.Port, "--json", "-"}, ReadFile(File));
  EXPECT_EQ(Piped.Status, 0) << Piped.Err;
  EXPECT_EQ(Document(Piped)["microphones"][0]["verified"], true);
}

TEST_F(VantorMic, SetAndRestoreWriteOnlyWhatDiffersUnlessForced) {
  const TMic Mic = StartMic("mic", {}, kF8OffF2MuteOn);
  const TProgramRun Same = Tool({"set", "--port", Mic.Port, "left=off", "mute=on"});
  EXPECT_EQ(Same.Status, 0) << Same.Err;
  EXPECT_EQ(Same.Out, Mic.Port + ": unchanged: it holds centre F8, left off, right F2, mute on\n");
  EXPECT_EQ(Writes(Mic), 0);  // not one write frame on the wire

  const TProgramRun Json = Tool({"set", "--port", Mic.Port, "centre=F8", "--json"});
  EXPECT_EQ(Json.Status, 0) << Json.Err;
  const json Result = Document(Json)["microphones"][0];
  EXPECT_EQ(Result["changed"], false);
  EXPECT_EQ(Result["written"], false);
  EXPECT_EQ(Result["before"], Result["after"]);
  EXPECT_EQ(Writes(Mic), 0);

  // --force sends the eight frames all the same.
  const TProgramRun Forced = Tool({"set", "--port", Mic.Port, "centre=F8", "--force", "--json"});
  EXPECT_EQ(Forced.Status, 0) << Forced.Err;
  EXPECT_EQ(Document(Forced)["microphones"][0]["written"], true);
  EXPECT_EQ(Writes(Mic), 4);
  EXPECT_EQ(Count(Mic, "rx AA 05 02 0"), 16);  // three runs read four settings, one reads back

  const TProgramRun Changed = Tool({"set", "--port", Mic.Port, "right=F3", "--json"});
  EXPECT_EQ(Document(Changed)["microphones"][0]["changed"], true);
  EXPECT_EQ(Writes(Mic), 8);

  // A backup restored onto the microphone it came from writes nothing.
  const std::string File = Dir / "mic.json";
  ASSERT_EQ(Tool({"backup", "--port", Mic.Port, File}).Status, 0);
  const TProgramRun Restore = Tool({"restore", "--port", Mic.Port, File});
  EXPECT_EQ(Restore.Status, 0) << Restore.Err;
  EXPECT_TRUE(Has(Restore.Out, ": unchanged: ")) << Restore.Out;
  EXPECT_EQ(Writes(Mic), 8);
}

TEST_F(VantorMic, CheckComparesWhatIsNamedAndWritesNothing) {
  const TMic Mic = StartMic("mic", {}, kF8OffF2MuteOn);
  const TProgramRun Match = Tool({"check", "--port", Mic.Port, "centre=F8", "mute=on"});
  EXPECT_EQ(Match.Status, 0) << Match.Err;
  EXPECT_EQ(Match.Out, Mic.Port + ": matches: it holds centre F8, left off, right F2, mute on\n");

  const TProgramRun Differ = Tool({"check", "--port", Mic.Port, "left=F3", "right=F2", "mute=off"});
  EXPECT_EQ(Differ.Status, 6) << Differ.Err;
  EXPECT_EQ(Differ.Out,
            Mic.Port + ": left: off, wanted F3\n" + Mic.Port + ": mute: on, wanted off\n");

  const TProgramRun Json = Tool({"check", "--port", Mic.Port, "--json", "left=F3"});
  EXPECT_EQ(Json.Status, 6);
  EXPECT_EQ(Document(Json), json::parse(R"({"version": 1, "messages": [], )"
                                        R"("microphones": [{"port": ")" +
                                        Mic.Port +
                                        R"(", "firmware": "1.2", "holds": {"centre": "F8", )"
                                        R"("left": "off", "right": "F2", "mute": true}, )"
                                        R"("wanted": {"left": "F3"}, "matches": false, )"
                                        R"("differences": [{"setting": "left", "holds": "off", )"
                                        R"("wanted": "F3"}]}], "refusals": [], "problems": []})"));

  // A backup's settings, its firmware not compared.
  const std::string File = Dir / "desired.json";
  std::ofstream(File) << R"({"format": 1, "firmware": "9.9", "settings": {"centre": "F8", )"
                         R"("left": "off", "right": "F2", "mute": true}})";
  EXPECT_EQ(Tool({"check", "--port", Mic.Port, File}).Status, 0);

  // A wanted state the rules refuse is 3; a broken file is 3; bad words are 1.
  const TProgramRun Refused = Tool({"check", "--port", Mic.Port, "left=F2"});
  EXPECT_EQ(Refused.Status, 3);
  EXPECT_TRUE(Has(Refused.Err, "left=F2: F2 is already set for right")) << Refused.Err;
  std::ofstream(Dir / "broken.json") << "{";
  EXPECT_EQ(Tool({"check", "--port", Mic.Port, Dir / "broken.json"}).Status, 3);
  EXPECT_EQ(Tool({"check", "--port", Mic.Port, "top=F1"}).Status, 1);
  EXPECT_EQ(Tool({"check", "--port", Mic.Port}).Status, 1);
  EXPECT_EQ(Writes(Mic), 0);

  // Any error outranks a difference: here the second port is silent.
  const TMic Quiet = StartMic("quiet", {"--silent"});
  EXPECT_EQ(Tool({"check", "--timeout", "300", "--port", Mic.Port, "--port", Quiet.Port, "--all",
                  "left=F3"})
                .Status,
            2);
}

TEST_F(VantorMic, ASignalClosesThePortAndEndsWithTheShellsStatus) {
  // micsim keeps the pty's other end open, so a port left exclusive would stay busy.
  const TMic Mic = StartMic("mic", {"--silent"});
  for (const int Signal : {SIGINT, SIGTERM, SIGHUP}) {
    const TProgramRun Run = RunProgramInterrupted(
        {VANTOR_MIC_PATH, "show", "--verbose", "--timeout", "20000", "--port", Mic.Port},
        "handshake", Signal);
    EXPECT_EQ(Run.Status, 128 + Signal) << Run.Err;
    EXPECT_TRUE(Has(Run.Err, "; no write frame was sent")) << Run.Err;
    EXPECT_TRUE(Has(Run.Err, "closed")) << Run.Err;
    // The port opens again at once.
    const TProgramRun List = Tool({"list", "--no-probe", "--json", "--port", Mic.Port});
    EXPECT_EQ(Document(List)["ports"][0]["state"], "free") << List.Out;
  }
}

TEST_F(VantorMic, APathThatIsNoSerialPortIsSaidToBeNone) {
  const std::string Plain = Dir / "plain.txt";
  std::ofstream(Plain) << "text\n";
  const std::string Folder = Dir / "folder";
  std::filesystem::create_directory(Folder);
  for (const std::string& Path : {Plain, Folder, std::string("/dev/null")}) {
    const TProgramRun Run = Tool({"show", "--port", Path});
    EXPECT_EQ(Run.Status, 2) << Path;
    EXPECT_TRUE(Has(Run.Err, Path + ": not a serial port")) << Run.Err;
    EXPECT_FALSE(Has(Run.Err, "Unplug the microphone")) << Run.Err;
  }
}

TEST_F(VantorMic, BrokenBackupFilesAndUnusableFilesWriteNothing) {
  const TMic Mic = StartMic("mic", {});
  const std::string Good =
      R"({"format": 1, "firmware": "1.2", "settings": {"centre": "F8", "left": "off", )"
      R"("right": "F2", "mute": false}})";
  struct Case {
    std::string Text, Error;
  };
  const Case Cases[] = {
      {Good.substr(0, 50), "is it complete?"},
      {R"({"format": 1, "firmware": 12, "settings": {}})", "firmware: expected"},
      {R"({"format": 1, "firmware": "1.2", "extra": 0, "settings": {}})",
       "unknown field \"extra\""},
      {R"({"format": 1, "firmware": "1.2", "settings": {"centre": "F8", "left": "F8", )"
       R"("right": "off", "mute": false}})",
       "settings.left: F8 is already set for centre"},
      {Good + std::string(70000, '\n'), "larger than 64 KiB"},
  };
  for (const Case& C : Cases) {
    std::ofstream(Dir / "broken.json", std::ios::trunc) << C.Text;
    const TProgramRun Run = Tool({"restore", "--port", Mic.Port, Dir / "broken.json"});
    EXPECT_EQ(Run.Status, 3) << C.Error;
    EXPECT_TRUE(Has(Run.Err, C.Error)) << Run.Err;
    EXPECT_TRUE(Has(Run.Err, "nothing was written"));
  }
  EXPECT_EQ(Tool({"restore", "--port", Mic.Port, Dir / "missing.json"}).Status, 1);
  EXPECT_EQ(Tool({"backup", "--port", Mic.Port, Dir / "no/such/folder/b.json"}).Status, 1);
  EXPECT_EQ(Writes(Mic), 0);
  EXPECT_EQ(Count(Mic, "rx AA 05 01 00 BB"), 1);  // only the backup talked to it
}

TEST_F(VantorMic, ADeviceThatKeepsItsOldValuesGivesFourNamingEachSetting) {
  const TMic Mic = StartMic("mic", {"--ignore-writes"}, kF8OffF2MuteOn);
  const TProgramRun Run = Tool({"set", "--port", Mic.Port, "left=F3", "right=F4"});
  EXPECT_EQ(Run.Status, 4);
  EXPECT_TRUE(Has(Run.Err,
                  "the settings read back differ from those written: left: wrote F3, "
                  "read back off; right: wrote F4, read back F2"))
      << Run.Err;
  EXPECT_EQ(Writes(Mic), 4);
}

TEST_F(VantorMic, ASilentPortGivesTwoAndAVanishingOneFive) {
  const TMic Silent = StartMic("silent", {"--silent"});
  const TProgramRun Quiet = Tool({"show", "--port", Silent.Port, "--timeout", "300"});
  EXPECT_EQ(Quiet.Status, 2);
  EXPECT_TRUE(Has(Quiet.Err, "silent: no answer to the greeting within 300 ms")) << Quiet.Err;
  // Greeted again and again within the time limit, as a device may miss the first frames.
  EXPECT_GE(Count(Silent, "rx AA 05 01 00 BB"), 2);

  const TProgramRun Absent = Tool({"show", "--port", Dir / "ttyACM9"});
  EXPECT_EQ(Absent.Status, 2);
  EXPECT_TRUE(Has(Absent.Err, "absent: no such device")) << Absent.Err;

  // The cable is pulled at the second write frame: the frames already sent are named.
  const TMic Pulled = StartMic("pulled", {"--hangup-after", "8"});
  const TProgramRun Cut = Tool({"set", "--port", Pulled.Port, "left=F3"});
  EXPECT_EQ(Cut.Status, 5);
  EXPECT_TRUE(Has(Cut.Err, "the port hung up")) << Cut.Err;
  EXPECT_TRUE(Has(Cut.Err, "the write frames for centre, left, right and mute had been sent"));
}

TEST_F(VantorMic, NoiseSplitAndMergedRepliesGoThroughTheWindowsReassembly) {
  const TMic Noisy =
      StartMic("noisy", {"--stray", "3", "--split", "--merge", "--bad-end", "--answer-after", "3"},
               kF8OffF2MuteOn);
  const TProgramRun Set = Tool({"set", "--port", Noisy.Port, "left=F5"});
  EXPECT_EQ(Set.Status, 0) << Set.Err;
  const TProgramRun Show = Tool({"show", "--port", Noisy.Port, "--json"});
  EXPECT_EQ(Show.Status, 0) << Show.Err;
  EXPECT_EQ(Document(Show)["microphones"][0]["settings"]["left"], "F5");
}

TEST_F(VantorMic, TwoMicrophonesNeedAllToBeSetButAreAllShown) {
  const TMic A = StartMic("a", {}, kF8OffF2MuteOn);
  const TMic B = StartMic("b", {});
  const TProgramRun Show = Tool({"show", "--port", A.Port, "--port", B.Port, "--json"});
  EXPECT_EQ(Show.Status, 0);
  EXPECT_EQ(Document(Show)["microphones"].size(), 2u);

  const TProgramRun Without = Tool({"set", "--port", A.Port, "--port", B.Port, "left=F4"});
  EXPECT_EQ(Without.Status, 1);
  EXPECT_TRUE(Has(Without.Err, "2 microphones answered (" + A.Port + ", " + B.Port + ")"));
  EXPECT_TRUE(Has(Without.Err, "--all"));
  EXPECT_EQ(Tool({"backup", "--port", A.Port, "--port", B.Port, Dir / "b.json"}).Status, 1);
  // With --json the document carries the reason.
  const TProgramRun Json = Tool({"set", "--json", "--port", A.Port, "--port", B.Port, "left=F4"});
  EXPECT_TRUE(Has(Document(Json)["messages"].dump(), "2 microphones answered")) << Json.Out;
  const TProgramRun Backup =
      Tool({"backup", "--json", "--port", A.Port, "--port", B.Port, Dir / "b.json"});
  EXPECT_EQ(Backup.Status, 1);
  EXPECT_TRUE(Has(Document(Backup)["error"], "2 microphones answered")) << Backup.Out;
  EXPECT_EQ(Writes(A) + Writes(B), 0);

  const TProgramRun With = Tool({"set", "--all", "--port", A.Port, "--port", B.Port, "left=F4"});
  EXPECT_EQ(With.Status, 0) << With.Err;
  EXPECT_EQ(ReadFile(A.State), "button1=65\nbutton2=61\nbutton3=59\nmute=1\n");
  EXPECT_EQ(ReadFile(B.State), "button1=65\nbutton2=61\nbutton3=255\nmute=0\n");
}

TEST_F(VantorMic, APortAnotherProgramHoldsIsBusyAndNotGreeted) {
  const TMic Mic = StartMic("mic", {});
  // Held as a terminal program holds a port: open, no lock.
  const int Held = open(Mic.Port.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(Held, 0);
  const std::string Holder = "(pid " + std::to_string(getpid()) + ")";
  const TProgramRun Show = Tool({"show", "--port", Mic.Port});
  EXPECT_EQ(Show.Status, 2);
  EXPECT_TRUE(Has(Show.Err, Mic.Port + ": busy: held by ")) << Show.Err;
  EXPECT_TRUE(Has(Show.Err, Holder)) << Show.Err;
  EXPECT_TRUE(Has(Show.Err, "kill " + std::to_string(getpid())));

  // Locked, as the serial component locks it: the same, also in the list.
  ASSERT_EQ(flock(Held, LOCK_EX | LOCK_NB), 0);
  const TProgramRun List = Tool({"list", "--port", Mic.Port, "--json"});
  EXPECT_EQ(List.Status, 2);
  const json Port = Document(List)["ports"][0];
  EXPECT_EQ(Port["state"], "busy");
  EXPECT_EQ(Port["holders"][0]["pid"], getpid());
  EXPECT_EQ(Port["greeted"], false);
  close(Held);
  EXPECT_EQ(Count(Mic, "rx AA"), 0);  // not a byte was sent to it
}

TEST_F(VantorMic, ADeniedPortNamesTheGroupToJoin) {
  const TMic Mic = StartMic("mic", {});
  std::vector<std::string> Args = {"show", "--port", Mic.Port};
  if (geteuid() == 0) {
    // CI runs as root, which every permission lets through: run as nobody instead, from a
    // copy that nobody may reach (the build tree may lie under root's own home).
    std::filesystem::permissions(Dir.Path(), std::filesystem::perms::owner_all |
                                                 std::filesystem::perms::group_exec |
                                                 std::filesystem::perms::others_exec);
    const std::string Copy = Dir / "vantor-mic";
    std::filesystem::copy_file(VANTOR_MIC_PATH, Copy);
    Args.insert(Args.begin(),
                {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", Copy});
  } else {
    ASSERT_EQ(chmod(Mic.Port.c_str(), 0), 0);  // the pty is this user's own
    Args.insert(Args.begin(), VANTOR_MIC_PATH);
  }
  const TProgramRun Run = RunProgram(Args);
  EXPECT_EQ(Run.Status, 2) << Run.Err;
  EXPECT_TRUE(Has(Run.Err, Mic.Port + ": denied: the device belongs to group ")) << Run.Err;
  EXPECT_TRUE(Has(Run.Err, "sudo usermod -aG ")) << Run.Err;
  EXPECT_EQ(Count(Mic, "rx AA"), 0);
}

TEST_F(VantorMic, ListAndDiagnoseReportEveryPortAndTheConversations) {
  const TMic Mic = StartMic("mic", {});
  const TMic Silent = StartMic("silent", {"--silent"});
  const std::string Absent = Dir / "ttyUSB7";
  const TProgramRun List = Tool({"list", "--timeout", "300", "--port", Mic.Port, "--port",
                                 Silent.Port, "--port", Absent, "--json"});
  EXPECT_EQ(List.Status, 2);  // a named port gave no microphone
  const json Ports = Document(List)["ports"];
  ASSERT_EQ(Ports.size(), 3u) << List.Out;
  EXPECT_EQ(Ports[0]["microphone"], true);
  EXPECT_EQ(Ports[0]["firmware"], "1.2");
  EXPECT_EQ(Ports[1]["state"], "free");
  EXPECT_EQ(Ports[1]["microphone"], false);
  EXPECT_EQ(Ports[1]["answer"], "no answer to the greeting within 300 ms");
  EXPECT_EQ(Ports[2]["state"], "absent");

  const TProgramRun Text = Tool({"list", "--port", Mic.Port});
  EXPECT_EQ(Text.Status, 0);
  EXPECT_EQ(Text.Out, Mic.Port + "  free, microphone, firmware 1.2\n");
  const int Greetings = Count(Mic, "rx AA 05 01 00 BB");
  const TProgramRun NoProbe = Tool({"list", "--no-probe", "--port", Mic.Port});
  EXPECT_EQ(NoProbe.Status, 0);
  EXPECT_EQ(Count(Mic, "rx AA 05 01 00 BB"), Greetings);

  const TProgramRun Diagnose = Tool({"diagnose", "--port", Mic.Port, "--port", Absent});
  EXPECT_EQ(Diagnose.Status, 2);
  for (const std::string& Part :
       {std::string("system:     "), "conversation with " + Mic.Port + ":",
        std::string("sent     AA 05 01 00 BB  handshake"),
        std::string("reply    AA 06 02 04 00 BB  mute = off"),
        "conversation with " + Absent + ": none (the port is absent)",
        std::string("remedy: Check the name")}) {
    EXPECT_TRUE(Has(Diagnose.Out, Part)) << Part << "\n" << Diagnose.Out;
  }
  const json Report = Document(Tool({"diagnose", "--json", "--port", Mic.Port}));
  EXPECT_FALSE(Report["system"].get<std::string>().empty());
  EXPECT_GE(Report["ports"][0]["transcript"].size(), 12u);
}

TEST_F(VantorMic, VerboseLabelsEachFrameWithItsPortAndJsonStaysClean) {
  const TMic Mic = StartMic("mic", {});
  const TProgramRun Run = Tool({"show", "--verbose", "--json", "--port", Mic.Port});
  EXPECT_EQ(Run.Status, 0);
  EXPECT_EQ(Document(Run)["microphones"].size(), 1u);
  EXPECT_TRUE(Has(Run.Err, "[" + Mic.Port + "]")) << Run.Err;
  EXPECT_TRUE(Has(Run.Err, "sent     AA 05 02 04 BB  read mute"));
  EXPECT_TRUE(Has(Run.Err, "received AA 05 01 01 BB"));
}

}  // namespace

}  // namespace vantor
