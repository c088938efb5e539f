// The printer as the report sees it. All lengths are twips (1/1440 inch) on
// the page, origin at the top-left corner of the printable area, y downwards;
// everything is drawn in black.
//
// The printer keeps the drawing state the report sets and reads: the print
// position, the font name and size and the line width. Once any operation
// fails, Failed() stays true for the rest of the run; the report then stops
// without a message, unless the failure comes when a finished document is
// handed over (the print queue refused the job): that one is told.
#pragma once

#include <optional>
#include <string>

#include "graph/graph.h"
#include "platform/failure.h"
#include "model/device_config.h"

namespace vexa {

class ReportPrinter {
 public:
  virtual ~ReportPrinter() = default;

  // The printer dialog: no choice of printing a selection, the number of
  // copies asked and returned; nullopt when the user cancels.
  virtual std::optional<int> AskCopies() = 0;
  // The printer's own copy count (the report sets 1 and prints each copy
  // itself).
  virtual void SetCopies(int copies) = 0;

  // Opens a document; its first page is page 1.
  virtual void BeginDocument() = 0;
  // Ends the document and hands it to the printer.
  virtual void EndDocument() = 0;
  // Ends the whole job after its last copy; a printer that keeps every copy
  // in one document hands it over here.
  virtual void EndJob() {}
  // Gives up the document of a failed run.
  virtual void AbortDocument() = 0;
  virtual void NewPage() = 0;
  virtual int Page() const = 0;  // of the current document, from 1

  virtual double PageWidth() const = 0;   // PW
  virtual double PageHeight() const = 0;  // PH

  virtual double CurrentX() const = 0;
  virtual double CurrentY() const = 0;
  virtual void SetCurrentX(double x) = 0;
  virtual void SetCurrentY(double y) = 0;

  virtual void SetFontName(const std::string& name) = 0;
  virtual double FontSize() const = 0;  // points
  virtual void SetFontSize(double points) = 0;
  virtual int DrawWidth() const = 0;  // printer pixels
  virtual void SetDrawWidth(int pixels) = 0;

  virtual double TextWidth(const std::string& utf8) const = 0;
  virtual double TextHeight(const std::string& utf8) const = 0;

  virtual void Line(double x1, double y1, double x2, double y2) = 0;
  // The text with its top-left corner at the print position.
  virtual void PrintText(const std::string& utf8) = 0;
  // The analog graph of one row, drawn by GraphMake on its kGraphWidth x
  // kGraphHeight twips, placed with its top-left corner at (x, y) and scaled
  // to width x height. The print position does not move.
  virtual void PlaceGraph(double x, double y, double width, double height, const AnalogScale& scale,
                          const GraphInput& in, char decimalSeparator) = 0;

  virtual bool Failed() const = 0;
  // Why the printer failed, when it can say (nullopt when it cannot).
  virtual std::optional<Failure> LastFailure() const { return std::nullopt; }
};

}  // namespace vexa
