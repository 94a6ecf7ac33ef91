// The WHERE filter of the record line: the record's copy of the WHERE text in
// which every output column's label is replaced by its value, column after
// column in queue order, and its evaluation. Building the copy costs one pass
// over the text per record, however many labels it holds; an invalid copy
// drops its record, and the first of a run shows why and where.
#pragma once

#include <cstddef>

#include "engine/run_state.h"

namespace engine {

// Replaces every occurrence of the column's name in WhereWork with
// CurrentRawValue: quoted (its quotes doubled) for the text types, nothing
// for a MEMO, the plain text otherwise. One pass over WhereWork.
void SubstituteFieldInWhere(RunState& run, const Column& column);

// Keeps the value of output column `k` (CurrentRawValue) for the record's
// WHERE copy.
void KeepWhereValue(RunState& run, std::size_t k, const Column& column);

// Builds WhereWork from GLO_WHERE and the values kept for the record: the same
// text SubstituteFieldInWhere gives when called for every output column in
// queue order.
void BuildWhereCopy(RunState& run);

// Evaluates WhereWork: true when the record passes. An invalid copy fails,
// and the first one of a run shows a message.
bool PassesWhere(RunState& run);

}  // namespace engine
