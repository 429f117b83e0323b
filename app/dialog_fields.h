// The main dialog's settings fields in its controls: copying them in, reading them back with
// the checks, and which bounds each edit box has.
#pragma once

#include <string_view>

#include "app/search_view.h"
#include "frontend/settings_fields.h"

// Valid range of each numeric edit box on reading: to 1..500, letters within 1..50000, all
// keywords within 0..500000, from 1..10000.
FieldBounds BoundsOf(NumberField field);

// CheckNumberField with the bounds of `field`.
NumberFieldCheck CheckNumberField(NumberField field, std::string_view text);

// Showing direction: every check box gets its state (a field outside 0..2 first becomes 0) and
// every numeric edit its value as decimal text.
void ShowDialogFields(CSearchView& view, DialogFields& fields);

// Reading direction, in this order, stopping at the first failure: allow right-to-left, column
// width to, letters within, all keywords within, column width from, exclude direct words,
// ignore numbers. Fields before the failing one are already updated. On a bad number it shows
// the message (OK), puts the focus on that edit box with its text selected and answers false.
bool ReadDialogFields(CSearchView& view, DialogFields& fields);
