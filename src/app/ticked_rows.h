#pragma once
// Which rows the user ticked by hand, kept in the settings file beside the rows so that a start at
// sign-in (/armed) arms the same ones again. Only a click on a row's tick box changes them: a plain
// start, a refusal at an armed start, a capture that unticks a row, a hotkey the system no longer
// takes and the exit leave them as they are. A section of its own, which readers that do not know
// it pass over; the rows' other sections stay as they are.
#include <bitset>

#include "app/frmset_ids.h"
#include "common/system_error.h"

namespace hkv {

using RowSet = std::bitset<ids::kRows>;

// The rows an armed start ticks, of those with a hotkey: those whose entry is exactly "1" (an
// empty entry, "0 ;note", "yes" or none at all arm nothing). A file without the section, from
// before the ticks were kept, arms every row.
RowSet StoredTickedRows();

// The user ticked or unticked the row by hand: its entry, with every other row's as the file
// holds it. The first tick into a file without entries writes all ten as `shown` has them (the
// rows the window shows ticked, with those an armed start could not tick, which keep their
// place): an older file's "every row" never arms a row the user did not tick. Failed, with the
// system's reason, when the file does not give the rows back; a file that takes no writes but
// holds them already loses nothing.
[[nodiscard]] WriteOutcome SaveTickedRow(int row, bool ticked, const RowSet& shown);

} // namespace hkv
