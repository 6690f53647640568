// One long operation of the check, from its start to its end: the scan, the bookings pass, the
// collection of the deletion candidates and the deletion loop all begin and end through it.
//
// Start: busy flag 1 (the result table's Tag), progress at 0 of the steps, wait cursor, the
// result table's display updates suspended, the message loop run once. Each step advances the
// progress and lets the message loop run when it is due (CheckFeedback::progressStep). End:
// progress 0, display updates resumed, busy flag 0, default cursor.
//
// The deletion loop changes only the article table and the status line: it leaves the result
// table's display alone, runs the message loop first with its steps and gives the cursor back
// before the busy flag.
//
// An operation that is left without finish() (a step failed) gives the window back all the
// same: progress 0, display updates resumed, busy flag 0, default cursor; the error goes on.
#pragma once

class CheckFeedback;
class TMemTable;

class LongOperation {
public:
    enum class Style { Standard, DeletionLoop };

    LongOperation(TMemTable &result, CheckFeedback &feedback, int steps,
                  Style style = Style::Standard);
    ~LongOperation();
    LongOperation(const LongOperation &) = delete;
    LongOperation &operator=(const LongOperation &) = delete;

    // The result table's busy flag: 1 while a long operation runs.
    static bool busy(const TMemTable &result);

    void step(int steps = 1);
    void finish();

private:
    void resumeDisplay();

    TMemTable &m_result;
    CheckFeedback &m_feedback;
    Style m_style;
    bool m_suspended = false;
    bool m_finished = false;
};
