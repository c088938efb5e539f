#include "platform/failure.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(Failure, ReasonNamesWhereAndWhy) {
  struct Case {
    Failure failure;
    std::string reason;
  };
  const Case cases[] = {
      {Failure::Of(FailureKind::Device, "zařízení neodpovědělo").AtBlock(0x110, 10),
       "Blok 0x0110: zařízení neodpovědělo (10 pokusů)."},
      {Failure::Of(FailureKind::Device, "zařízení neodpovědělo").AtBlock(8, 1), "Blok 0x0008: zařízení neodpovědělo (1 pokus)."},
      {Failure::Of(FailureKind::Data, "kontrolní součet nesouhlasí").AtBlock(0x1FC0, 3),
       "Blok 0x1FC0: kontrolní součet nesouhlasí (3 pokusy)."},
      {Failure::Of(FailureKind::FileSystem, "nelze zapsat soubor").AtPath("/tmp/a.eep").WithSystemError("Disk full"),
       "/tmp/a.eep: nelze zapsat soubor: Disk full."},
      {Failure::Of(FailureKind::FileSystem, "").AtPath("/x").WithSystemError("Permission denied"), "/x: Permission denied."},
      {Failure::Of(FailureKind::Refused, "hotovo."), "hotovo."},
  };
  for (const auto& c : cases) EXPECT_EQ(c.failure.Reason(), c.reason);
}

TEST(Failure, AttemptsAreCountedInCzech) {
  const std::pair<int, const char*> cases[] = {{1, "1 pokus"},    {2, "2 pokusy"},   {4, "4 pokusy"},  {5, "5 pokusů"},
                                               {12, "12 pokusů"}, {22, "22 pokusy"}, {0, "0 pokusů"}, {111, "111 pokusů"}};
  for (const auto& [n, text] : cases) EXPECT_EQ(AttemptsText(n), text) << n;
}

TEST(Failure, ReasonGoesOnTheLineBeneath) {
  EXPECT_EQ(WithReason("Zpráva.", std::string()), "Zpráva.");
  EXPECT_EQ(WithReason("Zpráva.", Failure::Of(FailureKind::Port, "chybí")), "Zpráva.\nchybí.");
}

}  // namespace
}  // namespace vexa
