// The field controller on its own, over a bare widget.
#include <gtest/gtest.h>

#include <QRadioButton>
#include <QWidget>
#include <utility>

#include "ui/fakes.h"
#include "ui/field_controller.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

TEST(FieldControllerOptions, EachFlagShowsItsOwnPairOfOptions) {
  Workspace ws;
  fake::FakeServices fx;
  QWidget owner;
  FieldController fields(ws, fx.services, owner);
  struct Pair {
    explicit Pair(bool& f) : flag(f) {}
    bool& flag;
    QWidget group;  // the two options of one flag exclude each other only
    QRadioButton* on = new QRadioButton(&group);
    QRadioButton* off = new QRadioButton(&group);
  };
  Pair pairs[] = {Pair(ws.config.general.EnablePS), Pair(ws.config.general.SuperPS)};
  fields.BindOptions({Field::EnablePS}, pairs[0].on, pairs[0].off);
  fields.BindOptions({Field::SuperPS}, pairs[1].on, pairs[1].off);
  const std::pair<bool, bool> states[] = {{true, false}, {false, true}, {true, true}, {false, false}};
  for (const auto& [first, second] : states) {
    pairs[0].flag = first;
    pairs[1].flag = second;
    fields.ShowAll();
    for (const Pair& p : pairs) {
      EXPECT_EQ(p.on->isChecked(), p.flag) << first << second;
      EXPECT_EQ(p.off->isChecked(), !p.flag) << first << second;
    }
  }
}

}  // namespace
}  // namespace vexa::ui
