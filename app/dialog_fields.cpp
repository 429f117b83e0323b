#include "app/dialog_fields.h"

#include <cstdint>
#include <string>

FieldBounds BoundsOf(NumberField field) {
    switch (field) {
        case NumberField::ColumnWidthTo:
            return kColumnWidthToBounds;
        case NumberField::LettersWithin:
            return kLettersWithinBounds;
        case NumberField::AllKeywordsWithin:
            return kAllKeywordsWithinBounds;
        case NumberField::ColumnWidthFrom:
            return kColumnWidthFromBounds;
    }
    return {0, 0};
}

NumberFieldCheck CheckNumberField(NumberField field, std::string_view text) {
    return CheckNumberField(BoundsOf(field), text);
}

namespace {

void ShowCheck(CSearchView& view, CheckField field, std::int32_t& state) {
    if (state < 0 || state > 2) state = 0;
    view.SetCheck(field, state);
}

bool ReadNumber(CSearchView& view, NumberField field, std::int32_t& value) {
    const NumberFieldCheck check = CheckNumberField(field, view.GetNumberText(field));
    if (!check.value) {
        view.ShowMessage(check.message, MessageButtons::Ok);
        view.FocusAndSelectAll(field);
        return false;
    }
    value = *check.value;
    return true;
}

}  // namespace

void ShowDialogFields(CSearchView& view, DialogFields& fields) {
    ShowCheck(view, CheckField::AllowReverseKeywords, fields.AllowReverseKeywords);
    view.SetNumberText(NumberField::ColumnWidthTo, std::to_string(fields.ColumnWidthTo));
    view.SetNumberText(NumberField::LettersWithin, std::to_string(fields.LettersWithin));
    view.SetNumberText(NumberField::AllKeywordsWithin, std::to_string(fields.AllKeywordsWithin));
    view.SetNumberText(NumberField::ColumnWidthFrom, std::to_string(fields.ColumnWidthFrom));
    ShowCheck(view, CheckField::ExcludeWordsDirectlyFromText, fields.ExcludeWordsDirectlyFromText);
    ShowCheck(view, CheckField::IgnoreNumbers, fields.IgnoreNumbers);
}

bool ReadDialogFields(CSearchView& view, DialogFields& fields) {
    fields.AllowReverseKeywords = view.GetCheck(CheckField::AllowReverseKeywords);
    if (!ReadNumber(view, NumberField::ColumnWidthTo, fields.ColumnWidthTo) ||
        !ReadNumber(view, NumberField::LettersWithin, fields.LettersWithin) ||
        !ReadNumber(view, NumberField::AllKeywordsWithin, fields.AllKeywordsWithin) ||
        !ReadNumber(view, NumberField::ColumnWidthFrom, fields.ColumnWidthFrom)) {
        return false;
    }
    fields.ExcludeWordsDirectlyFromText = view.GetCheck(CheckField::ExcludeWordsDirectlyFromText);
    fields.IgnoreNumbers = view.GetCheck(CheckField::IgnoreNumbers);
    return true;
}
