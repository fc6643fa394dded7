#pragma once
// Which rows were ticked when the program last ended, kept in the settings file beside the rows so
// that a start at sign-in (/armed) arms the same ones again. A section of its own, which readers
// that do not know it pass over; the rows' other sections stay as they are.
#include <bitset>

#include "app/frmset_ids.h"

namespace hkv {

using RowSet = std::bitset<ids::kRows>;

// The rows an armed start ticks, of those with a hotkey. A row without a stored state (a file
// from before the states were kept) counts as ticked, so such a file arms every row it can.
RowSet StoredTickedRows();

// Stores every row's state, all of them or none. False when the file does not give `ticked` back
// afterwards; a file that takes no writes but holds these states already loses nothing.
[[nodiscard]] bool SaveTickedRows(const RowSet& ticked);

} // namespace hkv
