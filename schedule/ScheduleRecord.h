// One line of Zavbell.txt: a UTF-16 text with fixed columns, read by
// position and never split on blanks.
//
//   0      hold flag: ' ' none, '!' run once, '#' hold once, 'X' hold always
//   2-9    date rule (8 units)
//   11-18  time rule (8 units)
//   20-25  action word (6 units, blank-padded)
//   27-    parameter (rest of the line)
//
// The action text handed to ActExecute is everything from column 20.
#pragma once

#include "common/WString.h"

constexpr int kHoldFlagColumn = 0;
constexpr int kDateRuleColumn = 2;
constexpr int kTimeRuleColumn = 11;
constexpr int kActionWordColumn = 20;
constexpr int kParameterColumn = 27;
constexpr int kRuleWidth = 8;
constexpr int kActionWordWidth = 6;
// Where the parameter begins in an action text (the record from column 20).
constexpr int kActionParameterIndex = kParameterColumn - kActionWordColumn;
// Columns 2-18: date rule, blank, time rule. Its positions line up with
// those of the now text "yy/mm/dd hh:mm:ss".
constexpr int kRuleTextLength = 17;

constexpr wchar_t kHoldNone = L' ';
constexpr wchar_t kHoldRunOnce = L'!';
constexpr wchar_t kHoldOnce = L'#';
constexpr wchar_t kHoldAlways = L'X';
// Written over '!' when the record has run; the pass then removes it.
constexpr wchar_t kDeletionMark = L'D';

// The time rule of a record that runs when ZAV starts.
extern const wchar_t kStartTimeRule[];  // "Start   "
// The action word that makes ZAV start ZAVSet instead of an action.
extern const wchar_t kSettingsActionWord[];  // "zzzzzz"

// Field accessors; a record too short for a field yields the empty text
// (or a NUL hold flag).
wchar_t HoldFlagOf(const WString& record);
WString DateRuleOf(const WString& record);
WString TimeRuleOf(const WString& record);
WString ActionWordOf(const WString& record);
WString ActionTextOf(const WString& record);
WString ParameterOf(const WString& record);
WString RuleTextOf(const WString& record);

// Builds a record with every fixed column present: the rules are padded or
// cut to 8 units, the action word to 6.
WString ComposeRecord(wchar_t holdFlag, const WString& dateRule, const WString& timeRule, const WString& actionWord,
                      const WString& parameter);

// ZAVSet's ordering key: the record itself, except that a time rule of
// exactly "Start   " is replaced by "%%%%%%%%" so start-up records sort first
// among records of the same hold flag and date rule.
WString SortKey(const WString& record);
