// The title's "*" and the question before leaving, through what happens to
// the configuration: loaded, edited, read, written, a write that failed.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

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

}  // namespace
}  // namespace vexa::test
