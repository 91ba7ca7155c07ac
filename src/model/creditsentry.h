#pragma once
// The "Credits and File Information" entry that the reader appends to the
// root of a newer hint file when it opens it: a copy of the INFO node's page,
// after a spacer line.

#include "model/loader.h"

class THunk;

// Appends the entry to the root when the file is of version 95a or 96a and
// has an INFO node; does nothing otherwise.
void AppendCreditsEntry(const TObjectList& list, THunk& root);
