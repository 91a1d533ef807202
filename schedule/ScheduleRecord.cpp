#include "schedule/ScheduleRecord.h"

const wchar_t kStartTimeRule[] = L"Start   ";
const wchar_t kSettingsActionWord[] = L"zzzzzz";

namespace {

// text cut or blank-padded to exactly width units. Left of a longer width
// than the text is the empty text, so only a long text is cut.
WString Fit(const WString& text, int width) {
    WString fitted = text.length() > width ? text.Left(width) : text;
    while (fitted.length() < width) fitted.append(L" ");
    return fitted;
}

}  // namespace

wchar_t HoldFlagOf(const WString& record) {
    return record.at(kHoldFlagColumn);
}

WString DateRuleOf(const WString& record) {
    return record.Mid(kDateRuleColumn, kDateRuleColumn + kRuleWidth - 1);
}

WString TimeRuleOf(const WString& record) {
    return record.Mid(kTimeRuleColumn, kTimeRuleColumn + kRuleWidth - 1);
}

WString ActionWordOf(const WString& record) {
    return record.Mid(kActionWordColumn, kActionWordColumn + kActionWordWidth - 1);
}

WString ActionTextOf(const WString& record) {
    return record.From(kActionWordColumn);
}

WString ParameterOf(const WString& record) {
    return record.From(kParameterColumn);
}

WString RuleTextOf(const WString& record) {
    return record.From(kDateRuleColumn).Left(kRuleTextLength);
}

WString ComposeRecord(wchar_t holdFlag, const WString& dateRule, const WString& timeRule, const WString& actionWord,
                      const WString& parameter) {
    const wchar_t flag[2] = {holdFlag ? holdFlag : kHoldNone, L'\0'};
    WString record(flag);
    record += L" ";
    record += Fit(dateRule, kRuleWidth);
    record += L" ";
    record += Fit(timeRule, kRuleWidth);
    record += L" ";
    record += Fit(actionWord, kActionWordWidth);
    record += L" ";
    record += parameter;
    return record;
}

WString SortKey(const WString& record) {
    if (TimeRuleOf(record) != kStartTimeRule) return record;
    return record.Left(kTimeRuleColumn) + L"%%%%%%%%" + record.From(kTimeRuleColumn + kRuleWidth);
}
