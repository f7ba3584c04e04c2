// How long work (printing, pictures, the report, the transfer, long command-line work) tells how far
// it has got and learns that the user wants it to stop. The work sets a total, advances step by step
// with a text, and asks IsCancelled() between items; the window shows a dialog, the CLI a line.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <utility>

namespace pw {

class CProgressReporter {
public:
    virtual ~CProgressReporter() = default;

    // The number of steps of the work about to start (0: not known); restarts the count. Shows
    // nothing by itself: the first Advance or SetDone does.
    void SetTotal(int nTotal) {
        m_nTotal = std::max(nTotal, 0);
        m_nDone = 0;
    }
    // nSteps more done; text (UTF-8, Chinese) says what is being done now; "" keeps the last text.
    void Advance(const std::string& text = {}, int nSteps = 1) {
        m_nDone = m_nTotal > 0 ? std::min(m_nDone + nSteps, m_nTotal) : m_nDone + nSteps;
        if (!text.empty()) m_strText = text;
        Show(m_nDone, m_nTotal, m_strText);
    }
    // Jumps to nDone steps (work that knows where it is rather than how much it did).
    void SetDone(int nDone, const std::string& text = {}) { Advance(text, nDone - m_nDone); }

    // True once the user asked to stop. Work checks it between items and stops without leaving a
    // partial file; it may be called from the worker's thread.
    virtual bool IsCancelled() const = 0;

    int Done() const { return m_nDone; }
    int Total() const { return m_nTotal; }

protected:
    // Shows the state; called on the thread that does the work.
    virtual void Show(int nDone, int nTotal, const std::string& text) = 0;

private:
    int m_nTotal = 0;
    int m_nDone = 0;
    std::string m_strText;
};

// Reporting nowhere and never cancelled: for work nobody watches.
class CSilentProgress final : public CProgressReporter {
public:
    bool IsCancelled() const override { return false; }

protected:
    void Show(int, int, const std::string&) override {}
};

// Hands every step to a function; the function returning false is the cancel. For tests and for
// watchers that are plain functions.
class CFunctionProgress final : public CProgressReporter {
public:
    using Watch = std::function<bool(int nDone, int nTotal, const std::string& text)>;
    explicit CFunctionProgress(Watch watch) : m_Watch(std::move(watch)) {}
    bool IsCancelled() const override { return m_bCancelled; }

protected:
    void Show(int nDone, int nTotal, const std::string& text) override {
        if (m_Watch && !m_Watch(nDone, nTotal, text)) m_bCancelled = true;
    }

private:
    Watch m_Watch;
    bool m_bCancelled = false;
};

} // namespace pw
