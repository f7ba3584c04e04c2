// Progress of long command-line work on stderr ("12/500 text"), and Ctrl-C as the cancel: the work
// stops between items and leaves no partial file, where the default signal would kill it mid-write.
#pragma once

#include <string>

#include "core/CProgressReporter.h"

namespace pw {

class CConsoleProgress final : public CProgressReporter {
public:
    // Lines only for work of more than nQuietBelow steps, so that one file prints nothing.
    explicit CConsoleProgress(int nQuietBelow = 20);
    ~CConsoleProgress() override; // restores the previous Ctrl-C handling
    CConsoleProgress(const CConsoleProgress&) = delete;
    CConsoleProgress& operator=(const CConsoleProgress&) = delete;

    bool IsCancelled() const override;

protected:
    void Show(int nDone, int nTotal, const std::string& text) override;

private:
    int m_nQuietBelow;
    int m_nShownPercent = -1;
    void (*m_pPreviousHandler)(int) = nullptr;
};

} // namespace pw
