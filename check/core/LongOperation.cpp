#include "check/core/LongOperation.h"

#include "check/core/CheckFeedback.h"
#include "data/MemTable.h"

LongOperation::LongOperation(TMemTable &result, CheckFeedback &feedback, int steps, Style style)
    : m_result(result), m_feedback(feedback), m_style(style) {
    m_result.SetTag(1);
    m_feedback.progressStart(steps);
    m_feedback.setWaiting(true);
    if (m_style == Style::DeletionLoop)
        return;
    m_result.DisableControls();
    m_suspended = true;
    m_feedback.processMessages();
}

LongOperation::~LongOperation() {
    if (m_finished)
        return;
    try {
        m_feedback.progressEnd();
        resumeDisplay();
        m_result.SetTag(0);
        m_feedback.setWaiting(false);
    } catch (...) {
        // The failure that ended the operation is the one to report.
    }
}

bool LongOperation::busy(const TMemTable &result) {
    return result.Tag() == 1;
}

void LongOperation::step(int steps) {
    m_feedback.progressStep(steps);
}

void LongOperation::finish() {
    m_feedback.progressEnd();
    if (m_style == Style::DeletionLoop) {
        m_feedback.setWaiting(false);
        m_result.SetTag(0);
    } else {
        resumeDisplay();
        m_result.SetTag(0);
        m_feedback.setWaiting(false);
    }
    m_finished = true;
}

void LongOperation::resumeDisplay() {
    if (!m_suspended)
        return;
    m_suspended = false;
    m_result.EnableControls();
}
