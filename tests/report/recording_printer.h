// A printer that records documents, pages, frame lines, texts and graphs, with
// fixed text metrics: a character is 10 x the font size wide (80 twips at
// 8 pt) and every text 20 x the font size high (160 twips at 8 pt). It can be
// told to fail after a number of drawing operations or to refuse the dialog.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "codec/cp1250.h"
#include "platform/services.h"
#include "report/printer.h"
#include "support/fakes.h"

namespace vexa::test {

struct PrintedText {
  double x, y;
  std::string text;
  double fontSize;
  std::string fontName;
};
struct PrintedLine {
  double x1, y1, x2, y2;
  int width;
};
struct PlacedGraph {
  double x, y, width, height;
  GraphInput in;
  AnalogScale scale;
};
struct RecordedPage {
  std::vector<PrintedText> texts;
  std::vector<PrintedLine> lines;
  std::vector<PlacedGraph> graphs;

  const PrintedText* Find(const std::string& t) const {
    for (const auto& p : texts)
      if (p.text == t) return &p;
    return nullptr;
  }
};
struct RecordedDocument {
  std::vector<RecordedPage> pages;
  bool ended = false;
  bool aborted = false;
};

class RecordingPrinter : public ReportPrinter {
 public:
  double pw = 11906, ph = 16838;  // A4 in twips
  std::optional<int> copiesAnswer = 1;
  int failAfter = -1;  // drawing operations allowed before failing; -1 never
  int refuseDocument = 0;       // the document (from 1) whose handing over fails; 0 none
  bool refuseJob = false;       // ending the whole job fails
  std::optional<Failure> why;   // what LastFailure() says

  std::vector<RecordedDocument> docs;
  int copiesSet = -1;
  int dialogShown = 0;

  std::optional<int> AskCopies() override {
    ++dialogShown;
    return copiesAnswer;
  }
  void SetCopies(int c) override { copiesSet = c; }
  void BeginDocument() override {
    docs.emplace_back();
    docs.back().pages.emplace_back();
  }
  void EndDocument() override {
    docs.back().ended = true;
    if (static_cast<int>(docs.size()) == refuseDocument) failed_ = true;
  }
  void EndJob() override { failed_ = failed_ || refuseJob; }
  void AbortDocument() override {
    if (!docs.empty()) docs.back().aborted = true;
  }
  void NewPage() override {
    if (Tick()) docs.back().pages.emplace_back();
  }
  int Page() const override { return docs.empty() ? 0 : static_cast<int>(docs.back().pages.size()); }
  double PageWidth() const override { return pw; }
  double PageHeight() const override { return ph; }
  double CurrentX() const override { return x_; }
  double CurrentY() const override { return y_; }
  void SetCurrentX(double x) override { x_ = x; }
  void SetCurrentY(double y) override { y_ = y; }
  void SetFontName(const std::string& n) override { font_ = n; }
  double FontSize() const override { return size_; }
  void SetFontSize(double s) override { size_ = s; }
  int DrawWidth() const override { return width_; }
  void SetDrawWidth(int w) override { width_ = w; }
  double TextWidth(const std::string& s) const override { return 10 * size_ * static_cast<double>(Utf8Length(s)); }
  double TextHeight(const std::string&) const override { return 20 * size_; }
  void Line(double x1, double y1, double x2, double y2) override {
    if (Tick()) page().lines.push_back({x1, y1, x2, y2, width_});
  }
  void PrintText(const std::string& s) override {
    if (Tick()) page().texts.push_back({x_, y_, s, size_, font_});
  }
  void PlaceGraph(double x, double y, double w, double h, const AnalogScale& s, const GraphInput& in, char) override {
    if (Tick()) page().graphs.push_back({x, y, w, h, in, s});
  }
  bool Failed() const override { return failed_; }
  std::optional<Failure> LastFailure() const override { return why; }

  RecordedPage& page() { return docs.back().pages.back(); }
  const RecordedDocument& doc(size_t i = 0) const { return docs.at(i); }

  std::vector<std::string> AllTexts(size_t d = 0) const {
    std::vector<std::string> out;
    for (const auto& p : docs.at(d).pages)
      for (const auto& t : p.texts) out.push_back(t.text);
    return out;
  }

 private:
  bool Tick() {
    if (failed_) return false;
    if (failAfter == 0) {
      failed_ = true;
      return false;
    }
    if (failAfter > 0) --failAfter;
    return true;
  }
  double x_ = 0, y_ = 0, size_ = 10;
  int width_ = 1;
  std::string font_;
  bool failed_ = false;
};

using FakeMessages = fake::FakeMessageBox;
using FakeProgress = fake::FakeProgress;
using FakeLoop = fake::FakeEventLoop;

struct FakeServices {
  FakeMessages messages;
  FakeProgress progress;
  FakeLoop loop;
  Services sv{messages, progress, loop};
};

}  // namespace vexa::test
