// The six sections of the printed report, in the order the report prints
// them. Each starts with its title and ends 200 twips below its last line.
// Only the rows the main window lets the user edit are printed
// (EditableRows in model/rows.h).
#pragma once

#include "report/engine.h"
#include "model/rows.h"

namespace vexa {

inline constexpr int kReportRowHeight = 300;
inline constexpr int kReportInputRows = EditableRows(Family::Input);
inline constexpr int kReportOutputRows = EditableRows(Family::Output);
inline constexpr int kReportAnalogRows = EditableRows(Family::Analog);
inline constexpr int kReportPhoneRows = EditableRows(Family::Phone);
inline constexpr double kReportGraphLeft = 7500;

void PrintGeneralSection(ReportRun& run);
void PrintSmsSection(ReportRun& run);
void PrintInputsSection(ReportRun& run);
void PrintOutputsSection(ReportRun& run);
void PrintAnalogSection(ReportRun& run);
void PrintPhonesSection(ReportRun& run);

}  // namespace vexa
