// The save and load commands with scripted dialogs and message boxes, against
// the golden files of an independent implementation.
#include "workflows/file_workflows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "file/config_json.h"
#include "platform/failure.h"
#include "texts/texts.h"
#include "support/non_regular_files.h"
#include "ui/fakes.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

std::vector<char> ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& p, const std::vector<char>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

fs::path Fixture(const char* name) { return fs::path(VEXA_FIXTURES_DIR) / name; }

DeviceConfig DumpOf(const char* name) {
  std::ifstream in(Fixture(name));
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  Workspace fresh;
  DeviceConfig c = fresh.config;
  std::string error;
  EXPECT_TRUE(ConfigFromJsonText(text, c, error)) << error;
  return c;
}

class FileWorkflowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("vexa-workflow-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    fx.services.view = &fx.view;
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string PathIn(const char* name) const { return (dir / name).string(); }

  fs::path dir;
  Workspace ws;
  fake::FakeServices fx;
};

TEST_F(FileWorkflowTest, CancelledDialogsDoNothing) {
  const DeviceConfig before = ws.config;
  EXPECT_EQ(SaveWorkflow(ws, fx.services), FileOutcome::Cancelled);
  EXPECT_EQ(LoadWorkflow(ws, fx.services), FileOutcome::Cancelled);
  EXPECT_EQ(fx.files.saveAsked, 1);
  EXPECT_EQ(fx.files.openAsked, 1);
  EXPECT_TRUE(fx.messages.shown.empty());
  EXPECT_TRUE(fx.progress.log.empty());
  EXPECT_EQ(ws.config, before);
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(FileWorkflowTest, SavingTheStartupConfigurationWritesTheGoldenFile) {
  const std::string path = PathIn("startup.eep");
  fx.files.saves.push_back(path);
  ws.CancelRequested = true;

  EXPECT_EQ(SaveWorkflow(ws, fx.services), FileOutcome::Completed);

  const auto written = ReadBytes(path);
  EXPECT_EQ(written.size(), 429u);  // usage 430, minus one
  EXPECT_EQ(written, ReadBytes(Fixture("startup.eep")));
  EXPECT_TRUE(fx.messages.shown.empty());
  EXPECT_EQ(fx.progress.log, (std::vector<std::string>{"show:Ukládám nastavení do souboru '" + path + "'.", "close"}));
  EXPECT_FALSE(fx.progress.visible);
  EXPECT_FALSE(ws.CancelRequested);  // showing the progress window clears it
}

TEST_F(FileWorkflowTest, OverwriteIsAskedFirstAndNoKeepsTheFile) {
  struct Case {
    Answer answer;
    FileOutcome outcome;
    bool replaced;
    bool dangling = false;  // the name is a link to nothing
  };
  for (const Case& c : {Case{Answer::No, FileOutcome::Declined, false}, Case{Answer::Yes, FileOutcome::Completed, true},
                        Case{Answer::No, FileOutcome::Declined, false, true}}) {
    SCOPED_TRACE(std::string(c.answer == Answer::Yes ? "Yes" : "No") + (c.dangling ? ", dangling link" : ""));
    fx.messages.clear();
    fx.progress.log.clear();
    const std::string path = PathIn(c.dangling ? "dangling.eep" : "existing.eep");
    const std::vector<char> old{'o', 'l', 'd'};
    if (c.dangling) {
      std::error_code noLinks;  // a system without symbolic links has no such row
      fs::create_symlink(dir / "nowhere.eep", path, noLinks);
      if (noLinks) continue;
    } else {
      WriteBytes(path, old);
    }
    fx.files.saves.push_back(path);
    fx.messages.answers.push_back(c.answer);
    // The question comes before the progress window appears.
    bool progressShownAtQuestion = true;
    fx.messages.onShow = [&](const fake::ShownMessage&) { progressShownAtQuestion = !fx.progress.log.empty(); };

    EXPECT_EQ(SaveWorkflow(ws, fx.services), c.outcome);

    ASSERT_EQ(fx.messages.shown.size(), 1u);
    EXPECT_EQ(fx.messages.shown[0],
              (fake::ShownMessage{Icon::Question, "Tento soubor již existuje. Mám ho přepsat?", Buttons::YesNo}));
    EXPECT_FALSE(progressShownAtQuestion);
    EXPECT_EQ(fx.progress.log.empty(), c.answer == Answer::No);
    EXPECT_FALSE(fx.progress.visible);
    const auto now = ReadBytes(path);
    if (c.dangling) {
      EXPECT_TRUE(fs::is_symlink(path) && !fs::exists(path));
    } else if (c.replaced) {
      EXPECT_EQ(now, ReadBytes(Fixture("startup.eep")));
    } else {
      EXPECT_EQ(now, old);
    }
    fx.messages.onShow = nullptr;
  }
}

TEST_F(FileWorkflowTest, SaveFailuresAreReported) {
  struct Case {
    const char* name;
    std::string path;
    std::string sms;  // DobaPlatnostiSMS
    FileOutcome outcome;
    std::string message;
  };
  const std::string missing = (dir / "no-such-folder" / "x.eep").string();
  const std::string ok = PathIn("never.eep");
  std::vector<Case> cases = {
      {"folder missing", missing, "3", FileOutcome::WriteFailed,
       "Při ukládání nastavení programu do souboru '" + missing + "' nastala chyba.\n" + missing +
           ": složka pro soubor neexistuje."},
      {"target is a folder", dir.string(), "3", FileOutcome::WriteFailed,
       "Při ukládání nastavení programu do souboru '" + dir.string() + "' nastala chyba.\n" + dir.string() +
           ": je to složka, ne soubor."},
      {"cannot encode", ok, "x", FileOutcome::EncodeFailed,
       WithReason(texts::kConvertErrorText, std::string("DobaPlatnostiSMS: ") + texts::kEncodeSmsDays + ".")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace w;
    w.config.general.DobaPlatnostiSMS = c.sms;
    fake::FakeServices f;
    f.files.saves.push_back(c.path);
    f.messages.answers.push_back(Answer::Yes);  // overwrite, if asked

    EXPECT_EQ(SaveWorkflow(w, f.services), c.outcome);

    ASSERT_FALSE(f.messages.shown.empty());
    EXPECT_EQ(f.messages.shown.back().icon, Icon::Error);
    EXPECT_EQ(f.messages.shown.back().text, c.message);
    EXPECT_FALSE(f.progress.visible);
    // The progress window is closed before the message.
    EXPECT_EQ(f.progress.log.back(), "close");
  }
  EXPECT_FALSE(fs::exists(ok));
}

TEST_F(FileWorkflowTest, LoadOutcomes) {
  const fs::path tooLong = dir / "too-long.eep";
  {
    auto bytes = ReadBytes(Fixture("pumping-station.eep"));
    bytes.resize(65537, 0);
    WriteBytes(tooLong, bytes);
  }
  const fs::path empty = dir / "empty.eep";
  WriteBytes(empty, {});
  // The pumping station with its text area damaged, the header left valid.
  auto damaged = [&](const char* name, const std::function<void(std::vector<char>&, long phones, long spare)>& poke) {
    auto bytes = ReadBytes(Fixture("pumping-station.eep"));
    auto pointer = [&](int slot) { return (bytes[slot] & 0xFF) | (bytes[slot + 1] & 0xFF) << 8; };
    poke(bytes, pointer(40), pointer(36));
    WriteBytes(dir / name, bytes);
    return (dir / name).string();
  };
  const std::string badPhone =
      damaged("bad-phone.eep", [](std::vector<char>& b, long phones, long) { b[phones] = 'Z'; });
  // The station name's first letter is 0x98, which no character of the code
  // page stands for.
  const std::string unassigned = damaged("unassigned.eep", [](std::vector<char>& b, long, long) {
    b[static_cast<std::size_t>((b[38] & 0xFF) | (b[39] & 0xFF) << 8)] = static_cast<char>(0x98);
  });
  const std::string spareRunsOff = damaged("spare-runs-off.eep", [](std::vector<char>& b, long, long spare) {
    b.resize(65536);
    std::fill(b.begin() + spare, b.end(), 'x');
  });

  struct Case {
    const char* name;
    std::string path;
    FileOutcome outcome;
    Icon icon;
    std::string message;
  };
  auto loaded = [](const std::string& p) { return "Data ze souboru '" + p + "' byla úspěšně načtena."; };
  // Why the bytes are not a configuration, beneath.
  auto notValid = [](const std::string& p, const std::string& cause) {
    return "Data v souboru '" + p + "' nejsou v pořádku - neodpovídají formátu EEPROM.\n" + cause + ".";
  };
  // The reason on the second line.
  auto readError = [](const std::string& p, const std::string& why) {
    return "Při načítání nastavení programu ze souboru '" + p + "' nastala chyba.\n" + p + ": " + why + ".";
  };
  const std::string folder = dir.string();
  const std::string pumping = Fixture("pumping-station.eep").string();
  const std::string truncated = Fixture("truncated.eep").string();
  const std::string badSum = Fixture("bad-checksum.eep").string();
  const std::string missing = (dir / "missing.eep").string();
  std::vector<Case> cases = {
      {"valid file", pumping, FileOutcome::Completed, Icon::Information, loaded(pumping)},
      {"cut before its end marker", truncated, FileOutcome::NotValid, Icon::Information, notValid(truncated, texts::kCauseFileCutShort)},
      {"header checksum wrong", badSum, FileOutcome::NotValid, Icon::Information, notValid(badSum, texts::kCauseHeaderBroken)},
      // What could not be read and where, when the file's own bytes show it;
      // the pumping station's phone block lies at 0x02ED, its spare block at 0x02EB.
      {"a phone count that is not hexadecimal", badPhone, FileOutcome::NotValid, Icon::Information,
       notValid(badPhone, "TC[0]: počet číslic v záznamu čísla není šestnáctkové číslo (adresa 0x02ED)")},
      {"a byte that is no character", unassigned, FileOutcome::NotValid, Icon::Information,
       notValid(unassigned, "JmenoStanice: bajt 0x98 není znakem kódové stránky 1250")},
      {"a whole image whose spare texts run off", spareRunsOff, FileOutcome::NotValid, Icon::Information,
       notValid(spareRunsOff, "Rezervní text 1: text přesahuje konec paměti (adresa 0x02EB)")},
      {"empty file over a zero image", empty.string(), FileOutcome::NotValid, Icon::Information,
       notValid(empty.string(), texts::kCauseHeaderBroken)},
      {"missing file", missing, FileOutcome::ReadFailed, Icon::Error, readError(missing, "soubor neexistuje")},
      {"longer than the image", tooLong.string(), FileOutcome::ReadFailed, Icon::Error,
       readError(tooLong.string(), "soubor je větší než 65536 bajtů")},
      {"a folder", folder, FileOutcome::ReadFailed, Icon::Error, readError(folder, "je to složka, ne soubor")},
  };
  for (const test::SpecialFile& special : test::SpecialFilesIn(dir)) {
    cases.push_back({special.name, special.path, FileOutcome::ReadFailed, Icon::Error,
                     readError(special.path, special.cause)});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace w;
    fake::FakeServices f;
    f.services.view = &f.view;
    f.files.opens.push_back(c.path);
    w.image.WriteByte(0x5A, 200);  // a byte no field owns, from an earlier read
    w.config.general.JmenoStanice = "Rozpracováno";  // edited: a rejected file keeps the edit
    const DeviceConfig before = w.config;
    const EepromImage imageBefore = w.image;

    EXPECT_EQ(LoadWorkflow(w, f.services), c.outcome);

    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0], (fake::ShownMessage{c.icon, c.message, Buttons::Ok}));
    EXPECT_FALSE(f.progress.visible);
    const std::string reading = "show:Načítám nastavení ze souboru '" + c.path + "'.";
    if (c.outcome == FileOutcome::Completed) {
      EXPECT_EQ(w.config, DumpOf("pumping-station.dump.json"));
      EXPECT_EQ(f.view.tabs, std::vector<int>{0});
      EXPECT_EQ(f.view.replaced, 1);
      EXPECT_EQ(f.progress.log,
                (std::vector<std::string>{reading, "close", "show:Převádím data ...", "close", "close"}));
    } else {
      EXPECT_EQ(w.config, before);
      EXPECT_TRUE(w.image == imageBefore);  // a later save carries none of the file's bytes
      EXPECT_TRUE(f.view.tabs.empty());
      EXPECT_EQ(f.view.replaced, 0);
      EXPECT_EQ(f.progress.log, (std::vector<std::string>{reading, "close", "close"}));
    }
    EXPECT_FALSE(w.validationSuppressed);
  }
}

TEST_F(FileWorkflowTest, LoadBringsTheGeneralTabForwardBeforeTheFieldsAreFilled) {
  // What the window looked like when the load brought a tab forward and when
  // it filled the fields.
  struct OrderView : fake::FakeView {
    explicit OrderView(fake::FakeProgress& p) : progress(p) {}
    void ShowTab(WindowTab tab) override {
      fake::FakeView::ShowTab(tab);
      logAtTab = progress.log;
    }
    void ConfigReplaced() override {
      fake::FakeView::ConfigReplaced();
      progressAtFill = progress.visible ? progress.text : "";
    }
    fake::FakeProgress& progress;
    std::vector<std::string> logAtTab;
    std::string progressAtFill;
  };
  OrderView view(fx.progress);
  fx.services.view = &view;
  const std::string path = Fixture("pumping-station.eep").string();
  fx.files.opens.push_back(path);

  ASSERT_EQ(LoadWorkflow(ws, fx.services), FileOutcome::Completed);

  EXPECT_EQ(view.tabs, std::vector<int>{0});
  EXPECT_EQ(view.logAtTab, (std::vector<std::string>{"show:Načítám nastavení ze souboru '" + path + "'.", "close"}));
  EXPECT_EQ(view.progressAtFill, "Převádím data ...");
  EXPECT_EQ(view.replaced, 1);
  ASSERT_EQ(fx.messages.shown.size(), 1u);
  EXPECT_EQ(fx.messages.shown[0].text, "Data ze souboru '" + path + "' byla úspěšně načtena.");
}

TEST_F(FileWorkflowTest, SavedFileLoadsBackToTheSameConfiguration) {
  // A configuration as a load gives it, so that nothing is normalised on
  // the way.
  Workspace source;
  source.config = DumpOf("pumping-station.dump.json");
  const std::string path = PathIn("round.eep");
  fx.files.saves.push_back(path);
  ASSERT_EQ(SaveWorkflow(source, fx.services), FileOutcome::Completed);

  fx.files.opens.push_back(path);
  ASSERT_EQ(LoadWorkflow(ws, fx.services), FileOutcome::Completed);
  EXPECT_EQ(ws.config, source.config);
  EXPECT_EQ(ReadBytes(path), ReadBytes(Fixture("pumping-station.eep")));
}

}  // namespace
}  // namespace vexa
