// The command line's progress reporter: a line on stderr every few percent, Ctrl-C as the cancel.
#include "cli/CConsoleProgress.h"

#include <csignal>
#include <cstdio>

namespace pw {
namespace {

volatile std::sig_atomic_t g_bInterrupted = 0;

// Internal linkage: the name stays inside this file (the link verbs have a Ctrl-C handler of their own).
void OnConsoleInterrupt(int) {
    g_bInterrupted = 1;
}

} // namespace

CConsoleProgress::CConsoleProgress(int nQuietBelow) : m_nQuietBelow(nQuietBelow) {
    g_bInterrupted = 0;
    m_pPreviousHandler = std::signal(SIGINT, OnConsoleInterrupt);
}

CConsoleProgress::~CConsoleProgress() {
    std::signal(SIGINT, m_pPreviousHandler == SIG_ERR ? SIG_DFL : m_pPreviousHandler);
}

bool CConsoleProgress::IsCancelled() const {
    return g_bInterrupted != 0;
}

void CConsoleProgress::Show(int nDone, int nTotal, const std::string& text) {
    if (nTotal <= m_nQuietBelow) return;
    const int nPercent = nDone * 100 / nTotal;
    // Every fifth percent and the end: a log stays short, a terminal still sees it move.
    if (nPercent == m_nShownPercent || (nPercent % 5 != 0 && nDone != nTotal)) return;
    m_nShownPercent = nPercent;
    std::fprintf(stderr, "%d/%d%s%s\n", nDone, nTotal, text.empty() ? "" : " ", text.c_str());
}

} // namespace pw
