#include "app/dialog_fields.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/support/scripted_view.h"

namespace {

TEST(CheckNumberField, BoundsPerFieldAndTheirMessages) {
    const std::string notInteger = "Please enter an integer.";
    const struct {
        NumberField field;
        const char* text;
        std::optional<std::int32_t> value;
        std::string message;
    } cases[] = {
        {NumberField::ColumnWidthTo, "1", 1, ""},
        {NumberField::ColumnWidthTo, "500", 500, ""},
        {NumberField::ColumnWidthTo, "501", std::nullopt,
         "Please enter an integer between 1 and 500."},
        {NumberField::ColumnWidthTo, "0", std::nullopt,
         "Please enter an integer between 1 and 500."},
        {NumberField::ColumnWidthFrom, "10000", 10000, ""},
        {NumberField::ColumnWidthFrom, "10001", std::nullopt,
         "Please enter an integer between 1 and 10000."},
        {NumberField::LettersWithin, "50000", 50000, ""},
        {NumberField::LettersWithin, "0", std::nullopt,
         "Please enter an integer between 1 and 50000."},
        {NumberField::AllKeywordsWithin, "0", 0, ""},
        {NumberField::AllKeywordsWithin, "500000", 500000, ""},
        {NumberField::AllKeywordsWithin, "-1", std::nullopt,
         "Please enter an integer between 0 and 500000."},
        {NumberField::AllKeywordsWithin, "9999999999", std::nullopt,
         "Please enter an integer between 0 and 500000."},
        {NumberField::AllKeywordsWithin, "", std::nullopt, notInteger},
        {NumberField::LettersWithin, "12 a", std::nullopt, notInteger},
    };
    for (const auto& c : cases) {
        const NumberFieldCheck check = CheckNumberField(c.field, c.text);
        EXPECT_EQ(check.value, c.value) << static_cast<int>(c.field) << " " << c.text;
        EXPECT_EQ(check.message, c.message) << static_cast<int>(c.field) << " " << c.text;
    }
}

TEST(ReadDialogFields, ReadsAllFieldsWhenValid) {
    CScriptedView view;
    view.numberTexts = {{NumberField::ColumnWidthTo, " 20 "},
                        {NumberField::LettersWithin, "7"},
                        {NumberField::AllKeywordsWithin, "0"},
                        {NumberField::ColumnWidthFrom, "80"}};
    view.checks = {{CheckField::AllowReverseKeywords, 0},
                   {CheckField::ExcludeWordsDirectlyFromText, 1},
                   {CheckField::IgnoreNumbers, 1}};
    DialogFields fields;
    ASSERT_TRUE(ReadDialogFields(view, fields));
    EXPECT_EQ(fields, (DialogFields{0, 20, 7, 0, 80, 1, 1}));
    EXPECT_EQ(view.log, std::vector<std::string>{});

    // The record sorts the widths; the fields keep the user's order.
    const SearchSettings settings = MakeSearchSettings(fields);
    EXPECT_FALSE(settings.AllowReverseKeywords);
    EXPECT_TRUE(settings.ExcludeWordsDirectlyFromText);
    EXPECT_EQ(settings.MinColumnWidth, 20);
    EXPECT_EQ(settings.MaxColumnWidth, 80);
    EXPECT_EQ(settings.MaxResultLength, 0);
    EXPECT_EQ(settings.MaxDistanceBetweenLetters, 7);
}

TEST(ReadDialogFields, StopsAtTheFirstBadFieldInReadingOrder) {
    const struct {
        const char* what;
        std::map<NumberField, std::string> texts;
        std::vector<std::string> expectedLog;
        DialogFields expectedFields;  // earlier fields read, later ones untouched
    } cases[] = {
        {"bad 'to' reported before bad 'letters within' standing higher in the window",
         {{NumberField::ColumnWidthTo, "501"},
          {NumberField::LettersWithin, "0"},
          {NumberField::AllKeywordsWithin, "5"},
          {NumberField::ColumnWidthFrom, "5"}},
         {"Message Ok: Please enter an integer between 1 and 500.", "FocusAndSelectAll 1011"},
         {0, 100, 500, 1000, 10, 0, 0}},
        {"letters within 0",
         {{NumberField::ColumnWidthTo, "50"},
          {NumberField::LettersWithin, "0"},
          {NumberField::AllKeywordsWithin, "5"},
          {NumberField::ColumnWidthFrom, "5"}},
         {"Message Ok: Please enter an integer between 1 and 50000.", "FocusAndSelectAll 1015"},
         {0, 50, 500, 1000, 10, 0, 0}},
        {"all keywords within not a number",
         {{NumberField::ColumnWidthTo, "50"},
          {NumberField::LettersWithin, "60"},
          {NumberField::AllKeywordsWithin, "1 000"},
          {NumberField::ColumnWidthFrom, "5"}},
         {"Message Ok: Please enter an integer.", "FocusAndSelectAll 1013"},
         {0, 50, 60, 1000, 10, 0, 0}},
        {"from empty, last of the numbers; the check boxes after it stay unread",
         {{NumberField::ColumnWidthTo, "50"},
          {NumberField::LettersWithin, "60"},
          {NumberField::AllKeywordsWithin, "70"},
          {NumberField::ColumnWidthFrom, ""}},
         {"Message Ok: Please enter an integer.", "FocusAndSelectAll 1009"},
         {0, 50, 60, 70, 10, 0, 0}},
    };
    for (const auto& c : cases) {
        CScriptedView view;
        view.numberTexts = c.texts;
        view.checks = {{CheckField::AllowReverseKeywords, 0},
                       {CheckField::ExcludeWordsDirectlyFromText, 1},
                       {CheckField::IgnoreNumbers, 1}};
        DialogFields fields;
        EXPECT_FALSE(ReadDialogFields(view, fields)) << c.what;
        EXPECT_EQ(view.log, c.expectedLog) << c.what;
        EXPECT_EQ(fields, c.expectedFields) << c.what;
    }
}

TEST(ShowDialogFields, WritesEveryControlAndResetsImpossibleCheckStates) {
    CScriptedView view;
    DialogFields fields{5, 900, -3, 0, 10001, 2, 1};
    ShowDialogFields(view, fields);
    const std::vector<std::string> expected = {"SetCheck 1008 0",          "SetNumberText 1011 900",
                                               "SetNumberText 1015 -3",    "SetNumberText 1013 0",
                                               "SetNumberText 1009 10001", "SetCheck 1021 2",
                                               "SetCheck 1022 1"};
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(fields.AllowReverseKeywords, 0);  // the field itself is reset too
    EXPECT_EQ(fields.ColumnWidthTo, 900);       // numbers are shown unchecked
}

}  // namespace
