#pragma once

#include "app/JobWindowModel.h"
#include "sim/VirtualLightBar.h"

#include <deque>
#include <string>

namespace tessel::testing {

// How the window tests (Qt and Win32) answer the job window's questions: OK or Yes unless the
// script says otherwise, and each question once (a click is taken at the job's next look at its
// buttons, so a question still showing may have been answered already).
struct JobAnswers {
    enum class Answer { Ok, Cancel, Yes, No };
    std::deque<Answer> answers; // per OK/Cancel or Yes/No question; empty: OK or Yes
    int okOnlyPrompts = 0;      // "Click OK to exit" and other OK waits

    // Whether the job window asks something not answered yet.
    bool newQuestion(const JobWindowModel& job, const VirtualLightBar& bar) {
        if (!job.visible() || !(job.okVisible() || job.yesVisible())) return false;
        const std::string signature =
            std::to_string(bar.counts().opens) + "|" + std::to_string(job.lines().size()) + "|" +
            (job.lines().empty() ? "" : job.lines().back().text) + "|" +
            char('0' + job.okVisible() + 2 * job.cancelVisible() + 4 * job.yesVisible());
        if (signature == answered_) return false;
        answered_ = signature;
        return true;
    }

    // The button that answers the question now showing (from the script when it offers a choice).
    const char* answerButton(const JobWindowModel& job) {
        Answer a = job.yesVisible() ? Answer::Yes : Answer::Ok;
        if (job.okVisible() && !job.cancelVisible()) {
            ++okOnlyPrompts;
        } else if (!answers.empty()) {
            a = answers.front();
            answers.pop_front();
        }
        return a == Answer::Ok       ? "bProgOk"
               : a == Answer::Cancel ? "bProgCancel"
               : a == Answer::Yes    ? "bProgYes"
                                     : "bProgNo";
    }

private:
    std::string answered_;
};

} // namespace tessel::testing
