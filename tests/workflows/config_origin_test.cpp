// The title's "*" and the question before leaving, through what happens to
// the configuration: loaded, edited, read, written, a write that failed.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "texts/texts.h"
#include "support/fakes.h"
#include "support/test_folder.h"
#include "workflows/config_origin.h"

namespace vexa::test {
namespace {

TEST(ConfigOrigin, TheStarFollowsTheTitlesSourceAndLeavingAsksWhenNothingHoldsIt) {
  using Step = std::function<void(ConfigOrigin&, Workspace&)>;
  const Step load = [](ConfigOrigin& o, Workspace& ws) { NoteFile(o, ws, "/data/vrt.eep"); };
  const Step edit = [](ConfigOrigin&, Workspace& ws) { ws.config.general.JmenoStanice += "x"; };
  const Step read = [](ConfigOrigin& o, Workspace& ws) { NoteReadFromUnit(o, ws); };
  const Step written = [](ConfigOrigin& o, Workspace& ws) { NoteWrittenToUnit(o, ws); };
  const Step failed = [](ConfigOrigin& o, Workspace&) { NoteWriteFailed(o); };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    bool star, asks;
  };
  const Case cases[] = {
      {"start-up", {}, false, false},
      {"start-up edited", {edit}, true, true},
      {"loaded, edited, written: the file is older, the unit holds it", {load, edit, written}, true, false},
      {"loaded, edited, write failed", {load, edit, failed}, true, true},
      {"loaded, write failed: the file still holds it", {load, failed}, false, false},
      {"read, edited, written", {read, edit, written}, false, false},
      {"read, write failed: held nowhere", {read, failed}, true, true},
      {"read, written, then a write failed", {read, edit, written, failed}, true, true},
      {"read, write failed, read again", {read, failed, read}, false, false},
      {"loaded, edited, written, edited again", {load, edit, written, edit}, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace ws;
    ConfigOrigin origin;
    NoteKept(origin, ws);
    for (const Step& s : c.steps) s(origin, ws);
    EXPECT_EQ(HasUnsavedEdits(origin, ws), c.star);
    EXPECT_EQ(HeldNowhere(origin, ws), c.asks);
  }
}

TEST(ConfigOrigin, ABackupIsSavedUnderANewNameOutsideTheBackupFolder) {
  const std::string backups = "/home/t/.local/share/vexa-init/backups";
  struct Case {
    const char* file;
    const char* station;
    std::string proposal;
    std::string base;  // the name a printed report gets
  };
  const Case cases[] = {
      {"", "Vrt 3", "Vrt 3.eep", "Vrt 3"},
      {"", " Vrt: 3/4* ", "Vrt_ 3_4_.eep", "Vrt_ 3_4_"},
      {"", " .. ", std::string(texts::kUnnamedConfig) + ".eep", texts::kUnnamedConfig},
      {"/data/vrt.v2.eep", "Vrt 3", "/data/vrt.v2.eep", "vrt.v2"},
      {"C:\\data\\vrt.eep", "Vrt 3", "C:\\data\\vrt.eep", "vrt"},
      {"/home/t/.local/share/vexa-init/backups/2026-12-08_051200_VEXA_Vrt-3.eep", "Vrt 3", "Vrt 3.eep", "Vrt 3"},
      {"/home/t/.local/share/vexa-init/backups/old/x.eep", "Vrt 3", "/home/t/.local/share/vexa-init/backups/old/x.eep",
       "x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ConfigOrigin origin;
    origin.file = c.file;
    DeviceConfig config = Workspace().config;
    config.general.JmenoStanice = c.station;
    EXPECT_EQ(SaveProposal(origin, config, backups), c.proposal);
    EXPECT_EQ(SaveProposal(origin, config, backups + "/"), c.proposal);
    EXPECT_EQ(ProposedBaseName(origin, config, backups), c.base);
  }
}

TEST(ConfigOrigin, OnlyASavedFileBecomesTheConfigurationsOwn) {
  // A save into a folder that does not exist fails: the configuration keeps
  // its "*", leaving still asks, and the next save proposes the same again.
  const auto dir = FreshTestFolder("config-origin");
  std::filesystem::create_directories(dir);
  struct Case {
    const char* name;
    std::string path;
    bool saved;
  };
  const Case cases[] = {
      {"into a missing folder", (dir / "missing" / "vrt.eep").string(), false},
      {"into the folder", (dir / "vrt.eep").string(), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace ws;
    fake::FakeServices fx;
    ConfigOrigin origin;
    NoteKept(origin, ws);
    ws.config.general.JmenoStanice = "Vrt 3";
    fx.files.saves = {c.path};
    EXPECT_EQ(SaveConfigAs(ws, fx.services, origin) == FileOutcome::Completed, c.saved)
        << ::testing::PrintToString(fx.messages.texts());
    EXPECT_EQ(origin.file, c.saved ? c.path : std::string());
    EXPECT_EQ(HasUnsavedEdits(origin, ws), !c.saved);
    EXPECT_EQ(HeldNowhere(origin, ws), !c.saved);
    EXPECT_EQ(SaveProposal(origin, ws.config, "/nowhere"), c.saved ? c.path : "Vrt 3.eep");
  }
}

}  // namespace
}  // namespace vexa::test
