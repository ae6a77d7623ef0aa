#pragma once

#include "jobs/JobWindow.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tessel::testing {

// A job window driven by a script: it records every line with its style, answers questions from
// a queue (default: OK / Yes), and can press Cancel when the progress reaches a given point.
class ScriptedJobWindow final : public JobWindow {
public:
    struct Line {
        LineStyle style;
        std::string text;
        bool operator==(const Line&) const = default;
    };

    // --- the script ---
    std::deque<bool> okCancelAnswers; // front answered first; empty: OK
    std::deque<bool> yesNoAnswers;    // empty: Yes
    std::optional<int> cancelAtProgress; // Cancel is clicked when this progress is shown
    std::optional<int> cancelAtAbortTest; // Cancel is clicked just before this abort test (1..)
    // Runs inside every question (after the answer is chosen) and every message pump.
    std::function<void()> onQuestion;
    std::function<void()> onProcessMessages;
    // Runs after every appended line.
    std::function<void(const Line&)> onLine;

    // Clicks Cancel now: the next abort test sees it (unless a job start forgets it).
    void pressCancel() { cancelClicked_ = true; }

    // --- what happened ---
    std::vector<Line> lines;        // the log as it stands (removed lines are gone)
    std::vector<Line> everLogged;   // every line ever appended, removed ones included
    std::vector<std::string> titles;
    std::vector<bool> blockPaneShown;
    std::vector<std::string> blocksShown;
    std::vector<int> progress;
    int okCancelQuestions = 0;
    int yesNoQuestions = 0;
    int okWaits = 0;
    int abortTests = 0;
    int closes = 0;
    bool abortControlsShown = false;
    std::optional<JobSummary> summary; // of the last job that ended
    // Each start (true) and end (false) of a block rewrite, with the abort tests made before it.
    std::vector<std::pair<bool, int>> rewrites;
    std::function<void(bool)> onRewrite;

    bool everLoggedLine(const std::string& text) const {
        for (const auto& l : everLogged)
            if (l.text == text) return true;
        return false;
    }
    bool hasLine(const std::string& text) const {
        for (const auto& l : lines)
            if (l.text == text) return true;
        return false;
    }
    bool hasLine(LineStyle style, const std::string& text) const {
        for (const auto& l : lines)
            if (l.text == text && l.style == style) return true;
        return false;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& l : lines) t.push_back(l.text);
        return t;
    }
    std::vector<std::string> errorTexts() const {
        std::vector<std::string> t;
        for (const auto& l : lines)
            if (l.style == LineStyle::Error) t.push_back(l.text);
        return t;
    }
    std::string lastLine() const { return lines.empty() ? std::string() : lines.back().text; }

    // --- JobWindow ---
    void showForJob(const std::string& title, bool withBlockPane) override {
        titles.push_back(title);
        blockPaneShown.push_back(withBlockPane);
        lines.clear();
        abortControlsShown = false;
    }
    void appendLine(LineStyle style, const std::string& text) override {
        lines.push_back({style, text});
        everLogged.push_back({style, text});
        if (onLine) onLine(lines.back());
    }
    void removeLastLine() override {
        if (!lines.empty()) lines.pop_back();
    }
    void showBlock(std::string_view text) override {
        blocksShown.emplace_back(text.substr(0, text.find('\0')));
    }
    void setProgress(int percent) override {
        progress.push_back(percent);
        if (cancelAtProgress && percent >= *cancelAtProgress) {
            cancelAtProgress.reset();
            cancelClicked_ = true;
        }
    }
    void showAbortControls() override { abortControlsShown = true; }
    bool aborted() override {
        if (cancelAtAbortTest && ++abortTests == *cancelAtAbortTest) cancelClicked_ = true;
        if (!cancelAtAbortTest) ++abortTests;
        const bool was = cancelClicked_;
        cancelClicked_ = false;
        return was;
    }
    bool askYesNo() override {
        ++yesNoQuestions;
        bool answer = true;
        if (!yesNoAnswers.empty()) {
            answer = yesNoAnswers.front();
            yesNoAnswers.pop_front();
        }
        if (onQuestion) onQuestion();
        return answer;
    }
    bool askOkCancel() override {
        ++okCancelQuestions;
        bool answer = true;
        if (!okCancelAnswers.empty()) {
            answer = okCancelAnswers.front();
            okCancelAnswers.pop_front();
        }
        if (onQuestion) onQuestion();
        return answer;
    }
    void waitForOk(const std::string&) override { ++okWaits; }
    void processMessages() override {
        if (onProcessMessages) onProcessMessages();
    }
    void close() override { ++closes; }
    void clearClicks() override { cancelClicked_ = false; }
    void jobEnded(const JobSummary& s) override { summary = s; }
    void setRewritingBlock(bool on) override {
        rewrites.emplace_back(on, abortTests);
        if (onRewrite) onRewrite(on);
    }

private:
    bool cancelClicked_ = false;
};

} // namespace tessel::testing
