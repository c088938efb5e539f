// The rows of each table that this edition of the program lets the user
// edit: inputs I1-I4, outputs O1-O2, analog input A1 and phones T1-T8. The
// other rows stay disabled in the window and are left out of the report, yet
// their values are loaded, saved, written and read with the rest.
#pragma once

#include "model/fields.h"

namespace vexa {

// How many rows of the family, from the first, can be edited.
constexpr int EditableRows(Family family) {
  switch (family) {
    case Family::Input: return 4;   // I1..I4
    case Family::Output: return 2;  // O1, O2
    case Family::Analog: return 1;  // A1
    case Family::Phone: return kRows;
    case Family::General:
    case Family::Program: return 1;
  }
  return 0;
}

constexpr bool IsEditableRow(Family family, int row) { return row >= 0 && row < EditableRows(family); }

}  // namespace vexa
