// The link's clock stands while a modal window of the program is shown, and
// only then.
#include <gtest/gtest.h>

#include <QDialog>
#include <QWidget>

#include "link/serial_port.h"
#include "qt/modal_pause.h"

namespace vexa::test {
namespace {

struct ManualClock : link::Clock {
  std::int64_t NowMs() const override { return now; }
  std::int64_t now = 0;
};

TEST(ModalPause, TheUnitClockStandsWhileAModalWindowIsShown) {
  ManualClock base;
  link::UnitClock clock(base);
  QWidget owner;
  qt::ModalPause pause(clock, &owner);
  struct Step {
    const char* what;
    std::function<void(QDialog& modal, QDialog& modeless)> act;
    std::int64_t passes;    // real milliseconds that pass after the step
    std::int64_t unitAfter;  // the unit clock then
  };
  const Step steps[] = {
      {"nothing shown", [](QDialog&, QDialog&) {}, 1000, 1000},
      {"a window that is not modal (the progress window)", [](QDialog&, QDialog& m) { m.show(); }, 1000, 2000},
      {"a question on screen", [](QDialog& q, QDialog&) { q.show(); }, 10'000, 2000},
      {"the question answered", [](QDialog& q, QDialog&) { q.hide(); }, 500, 2500},
      {"another question, then closed with the window still there",
       [](QDialog& q, QDialog&) { q.show(); }, 20'000, 2500},
      {"closed", [](QDialog& q, QDialog&) { q.close(); }, 100, 2600},
  };
  QDialog question(&owner);
  question.setModal(true);
  QDialog modeless(&owner);
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.act(question, modeless);
    base.now += s.passes;
    EXPECT_EQ(clock.NowMs(), s.unitAfter);
  }
}

TEST(ModalPause, PausesNestAndCountOnce) {
  ManualClock base;
  link::UnitClock clock(base);
  {
    const link::UnitPause outer(&clock);
    base.now += 300;
    {
      const link::UnitPause inner(&clock);
      base.now += 700;
    }
    base.now += 1000;
    EXPECT_EQ(clock.NowMs(), 0);
  }
  base.now += 50;
  EXPECT_EQ(clock.NowMs(), 50);
  EXPECT_EQ(clock.PausedMs(), 2000);
}

}  // namespace
}  // namespace vexa::test
