// The six sections of the printed report, in the order the report prints
// them. Each starts with its title and ends 200 twips below its last line.
// Only the rows the main window lets the user edit are printed: inputs I1-I4,
// outputs O1-O2, analog input A1 and phones T1-T8.
#pragma once

#include "report/engine.h"

namespace vexa {

inline constexpr int kReportRowHeight = 300;
inline constexpr int kReportInputRows = 4;
inline constexpr int kReportOutputRows = 2;
inline constexpr int kReportAnalogRows = 1;
inline constexpr int kReportPhoneRows = 8;
inline constexpr double kReportGraphLeft = 7500;

void PrintGeneralSection(ReportRun& run);
void PrintSmsSection(ReportRun& run);
void PrintInputsSection(ReportRun& run);
void PrintOutputsSection(ReportRun& run);
void PrintAnalogSection(ReportRun& run);
void PrintPhonesSection(ReportRun& run);

}  // namespace vexa
