// Scripted prompts and projects made in code.
#include "ShellFixtures.h"

#include <QDialog>

#include <cmath>

#include "core/ProjectFile.h"

namespace pw::test {

QMessageBox::StandardButton CScriptedPrompts::Ask(const QString&, const QString& text,
                                                  QMessageBox::StandardButtons) {
    m_Asked << text;
    if (m_Answers.empty()) return QMessageBox::Cancel;
    const auto a = m_Answers.front();
    m_Answers.pop_front();
    return a;
}

std::optional<int> CScriptedPrompts::AskInt(const QString& title, int) {
    m_IntTitles << title;
    if (m_Ints.empty()) return std::nullopt;
    const auto v = m_Ints.front();
    m_Ints.pop_front();
    return v;
}

std::optional<std::pair<QString, QString>> CScriptedPrompts::AskMergePaths() {
    ++m_nMergeDialogs;
    if (m_Paths.size() < 2) return std::nullopt;
    QString a = Pop(m_Paths);
    return std::make_pair(a, Pop(m_Paths));
}

int CScriptedPrompts::RunDialog(QDialog& dialog) {
    m_DialogTitles << dialog.windowTitle();
    if (m_Hands.empty()) return QDialog::Rejected;
    const auto hand = m_Hands.front();
    m_Hands.pop_front();
    dialog.show();
    const int result = hand(dialog);
    dialog.hide();
    return result;
}

int CScriptedPrompts::PressOk(QDialog& dialog) {
    dialog.accept(); // the dialog's own checks decide whether it closes
    return dialog.isVisible() ? QDialog::Rejected : dialog.result();
}

QString CScriptedPrompts::Pop(std::deque<QString>& q) {
    if (q.empty()) return {};
    QString s = q.front();
    q.pop_front();
    return s;
}

QString WriteProject(const QTemporaryDir& dir, const std::string& fileName,
                     const std::vector<CPileDescription>& piles) {
    CProjectHeader header;
    header.SetTestUnit("检测单位");
    header.SetProjectName("工程");
    std::vector<CPileRecord> records(piles.size());
    for (std::size_t i = 0; i < piles.size(); ++i) {
        CPileRecord& r = records[i];
        r.m_nPileNo = static_cast<int16_t>(i + 1);
        r.SetPileName(piles[i].name);
        r.SetTestDate("2024-05-17");
        r.m_fPileLength = piles[i].length;
        r.m_nWaveSpeed = static_cast<int16_t>(piles[i].speed);
        r.m_fSampleInterval = 20.f;
        r.m_nStep = 1;
        r.m_nHeadSample = 50;
        r.m_fGain = 1.f;
        r.m_nLowPassPasses = 1;
        r.m_nSmooth = 1;
        r.m_bChecked = piles[i].checked ? 1 : 0;
        for (int k = 0; k < kSamples; ++k)
            r.m_fRaw[k] = static_cast<float>(100.0 * std::sin(k / 20.0) * std::exp(-k / 400.0));
    }
    const QString path = dir.filePath(QString::fromStdString(fileName));
    const std::string error = SaveProjectFile(path.toStdString(), header, records);
    return error.empty() ? path : QString();
}

} // namespace pw::test
