#pragma once

// The question asked when a newer build starts on an older build's settings:
// take them over, or start afresh. Escape and the title bar's close button are
// no answer at all, so the settings stay as they are and the question comes
// again at the next start.
class TakeOverQuestionDialog
{
public:
    static constexpr int noAnswer = -1;

    // Modal. SettingsMigration::TakeOver, SettingsMigration::DoNotTakeOver or noAnswer.
    static int ask();
};
