// The window's progress reporters (see the header).
#include "shell/CDialogProgress.h"

#include "shell/ShellMessages.h"

namespace pw {

CDialogProgress::CDialogProgress(const QString& label, QWidget* parent)
    : m_Dialog(label, QString::fromUtf8(msg::kCancel), 0, 0, parent), m_Label(label) {
    m_Dialog.setWindowModality(Qt::WindowModal);
    m_Dialog.setMinimumDuration(300);
    m_Dialog.setAutoReset(false);
    m_Dialog.setAutoClose(false);
}

CDialogProgress::~CDialogProgress() {
    m_Dialog.reset();
}

void CDialogProgress::SetLabel(const QString& label) {
    m_Label = label;
    m_Dialog.setLabelText(label);
}

void CDialogProgress::Show(int nDone, int nTotal, const std::string& text) {
    m_Dialog.setMaximum(nTotal);
    if (!text.empty()) m_Dialog.setLabelText(m_Label + QLatin1Char('\n') + QString::fromStdString(text));
    m_Dialog.setValue(nDone);
}

void CPostedBarProgress::Show(int nDone, int nTotal, const std::string&) {
    // Runs on the worker's thread: the bar is touched only on its own.
    QMetaObject::invokeMethod(
        m_pBar.data(),
        [bar = m_pBar, nDone, nTotal] {
            if (!bar) return;
            if (nTotal > 0) bar->setMaximum(nTotal);
            bar->setValue(nDone);
        },
        Qt::QueuedConnection);
}

} // namespace pw
