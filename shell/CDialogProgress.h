// The window's progress reporters: a QProgressDialog whose Cancel button is the cancel (printing,
// pictures, the report), and a progress bar fed from a worker thread (the transfer).
#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QString>

#include "core/CProgressReporter.h"

namespace pw {

// Shows itself only when the work takes a while; modal to its window, so the window stays as the
// work found it. Lives on the window's thread: the work runs there and lets events through here.
class CDialogProgress final : public CProgressReporter {
public:
    CDialogProgress(const QString& label, QWidget* parent);
    ~CDialogProgress() override;
    CDialogProgress(const CDialogProgress&) = delete;
    CDialogProgress& operator=(const CDialogProgress&) = delete;

    // The first line of the dialog; the work's own text goes below it.
    void SetLabel(const QString& label);
    bool IsCancelled() const override { return m_Dialog.wasCanceled(); }
    QProgressDialog& Dialog() { return m_Dialog; }

protected:
    void Show(int nDone, int nTotal, const std::string& text) override;

private:
    QProgressDialog m_Dialog;
    QString m_Label;
};

// Shows a worker thread's progress on a bar of the window: every step is posted to the window's
// thread. The window stops the work by its own means (the worker's stop request), so it never
// reports a cancel.
class CPostedBarProgress final : public CProgressReporter {
public:
    explicit CPostedBarProgress(QProgressBar* pBar) : m_pBar(pBar) {}
    bool IsCancelled() const override { return false; }

protected:
    void Show(int nDone, int nTotal, const std::string& text) override;

private:
    QPointer<QProgressBar> m_pBar;
};

} // namespace pw
