// Word report (32830) and Excel table (32960): the texts come from core's report content, the files
// from the report library, the pictures from the view.
#include "shell/CReportCommands.h"

#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>

#include "core/CoreMessages.h"
#include "core/DataFiles.h"
#include "core/ReportContent.h"
#include "core/SiteSpeed.h"
#include "report/ExcelTable.h"
#include "report/WordReport.h"
#include "shell/CCommandRouter.h"
#include "shell/CDialogCommands.h"
#include "shell/CDialogProgress.h"
#include "shell/CShellPrompts.h"
#include "shell/SettingsPaths.h"
#include "shell/ShellCommandIds.h"
#include "shell/ShellMessages.h"
#include "shell/dialogs/CDataChecksDlg.h"
#include "shell/dialogs/CSiteSpeedDlg.h"
#include "view/CPilePicture.h"

namespace pw {
namespace {

QString DocumentsPath(const char* name) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty()) dir = QDir::homePath();
    return QDir(dir).filePath(QString::fromUtf8(name));
}

bool AnyTicked(const CDEVAzazDoc& doc) {
    for (const auto& p : doc.m_Piles)
        if (p.m_bChecked) return true;
    return false;
}

} // namespace

CReportCommands::CReportCommands(CDEVAzazDoc& doc, CShellPrompts& prompts, CDialogCommands& dialogs, QWidget* window)
    : QObject(window), m_doc(doc), m_prompts(prompts), m_dialogs(dialogs), m_pWindow(window) {}

void CReportCommands::Register(CCommandRouter& router) {
    router.Handle(cmd::kWordReport, [this] { WordReport(); });
    router.Handle(cmd::kExcelTable, [this] { ExcelTable(); });
    auto anyPile = [this] { return CommandState{m_doc.GetPileCount() > 0, false}; };
    router.SetStateRule(cmd::kWordReport, anyPile);
    router.SetStateRule(cmd::kExcelTable, anyPile);
    router.Handle(cmd::kSiteSpeed, [this] { SiteSpeed(); });
    router.SetStateRule(cmd::kSiteSpeed, anyPile);
    // The class of the current pile: the engineer's decision, checked where it stands.
    for (int id = cmd::kClassRule; id <= cmd::kClassIV; ++id) {
        const int decision = id - cmd::kClassRule;
        router.Handle(id, [this, decision] {
            if (const CPileRecord* current = m_doc.GetCurrentPile()) m_doc.SetPileClass(current->m_nPileNo, decision);
        });
        router.SetStateRule(id, [this, decision] {
            const CPileRecord* current = m_doc.GetCurrentPile();
            return CommandState{current != nullptr, current && current->m_nClassDecision == decision};
        });
    }
    router.Handle(cmd::kDataChecks, [this] { DataChecks(); });
    router.SetStateRule(cmd::kDataChecks, anyPile);
}

void CReportCommands::WordReport() {
    CPileRecord* current = m_doc.GetCurrentPile();
    if (!current) return; // no current pile: nothing to report
    // With no pile ticked the class shares would divide by zero: say so before anything is asked.
    if (!AnyTicked(m_doc)) return m_prompts.Tell(QString::fromUtf8(msg::kNothingChecked));
    CReportInfo info;
    PrefillReportInfo(info, m_doc.m_Header, *current, m_doc.GetPileCount());
    // A pile without a date gives no made-up one: the dates stay empty unless the dialog fills them.
    if (!DateOfPile(*current)) m_prompts.Tell(QString::fromUtf8(msg::kPileHasNoDate), QMessageBox::Information);
    std::optional<CReportInfo> confirmed;
    // Empty fields, undecided classes and piles ticked more than once are named before anything is
    // written: the user writes anyway or goes back to the dialog with what was typed.
    while (true) {
        confirmed = m_dialogs.ReportInfo(info);
        if (!confirmed) return;
        const std::vector<std::string> warnings = ReportWarnings(m_doc.m_Piles, *confirmed);
        if (warnings.empty()) break;
        QStringList lines;
        for (const std::string& w : warnings) lines << QString::fromStdString(w);
        const QMessageBox::StandardButton answer =
            m_prompts.Ask(QString::fromUtf8(msg::kAppTitle),
                          QString::fromUtf8(msg::kReportWarnings).arg(lines.join(QChar('\n'))),
                          QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes) break;
        if (answer != QMessageBox::No) return; // the box closed: nothing is written
        info = *confirmed;
    }
    const QString path = m_prompts.AskSavePath(QString::fromUtf8(msg::kWordFilter), DocumentsPath(msg::kReportFileName));
    if (path.isEmpty()) return;

    const QDate today = QDate::currentDate();
    const CReportContent content =
        MakeReportContent(m_doc.m_Piles, *confirmed, CDate{today.year(), today.month(), today.day()});
    CDialogProgress progress(QString::fromUtf8(msg::kReportProgress), m_pWindow);
    const std::vector<CPileRecord>& piles = m_doc.m_Piles;
    // The pictures show what the picture export shows: the information box as the print settings say.
    CPictureOptions options;
    options.m_Settings = LoadPrintSettings(PrintSettingsPath().toStdString());
    options.m_Cell = CellOptionsOf(m_doc);
    // Drawing only reads the piles and the options: the pictures draw on all cores while this thread
    // shows the progress.
    report::CParallelPictures pictures;
    pictures.Source = [&piles, &options](int index, report::CPicture& out) {
        if (index < 0 || index >= static_cast<int>(piles.size())) return false;
        out.m_Png = PilePicturePng(piles[static_cast<std::size_t>(index)], PictureLayout::Single,
                                   &out.m_nWidth, &out.m_nHeight, options);
        return !out.m_Png.empty();
    };
    const CResult written = report::WriteWordReport(FindDataFile("report-template.docx"), path.toStdString(),
                                                    content, pictures, &progress);
    progress.Dialog().reset();
    if (written.Cancelled()) return;
    if (!written.Ok())
        return m_prompts.Tell(
            QString::fromUtf8(msg::kReportFailed).arg(QString::fromStdString(written.m_strMessage)));
    OpenOrSayWhere(path);
}

void CReportCommands::ExcelTable() {
    if (m_doc.GetPileCount() == 0) return; // the project holds no pile: nothing happens
    const QString path = m_prompts.AskSavePath(QString::fromUtf8(msg::kExcelFilter), DocumentsPath(msg::kTableFileName));
    if (path.isEmpty()) return;
    const CResult written =
        report::WriteExcelTable(path.toStdString(), m_doc.m_Piles, ReportedPiles(m_doc.m_Piles).m_Piles);
    if (!written.Ok())
        return m_prompts.Tell(
            QString::fromUtf8(msg::kTableFailed).arg(QString::fromStdString(written.m_strMessage)));
    OpenOrSayWhere(path);
}

void CReportCommands::SiteSpeed() {
    if (m_doc.GetPileCount() == 0) return;
    const CSiteSpeedResult result = ComputeSiteSpeed(m_doc.m_Piles);
    CSiteSpeedDlg dialog(result, m_pWindow);
    if (m_prompts.RunDialog(dialog) != QDialog::Accepted || !dialog.ApplyChosen() || !result.m_bHasSpeed) return;
    const QString question =
        QString::fromUtf8(msg::kApplySiteSpeed).arg(result.m_nSiteSpeed).arg(result.m_Piles.size()); // piles, not blows
    if (m_prompts.Ask(QString::fromUtf8(msg::kAppTitle), question, QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    // Not through the estimate bar: its commit would write the current pile's whole pending set into
    // every pile. Only speeds, lengths and defect depths change here.
    std::vector<int> refused;
    if (ApplySiteSpeed(m_doc.m_Piles, result.m_nSiteSpeed, &refused) > 0) m_doc.SetModified(true);
    m_doc.LoadPending(m_doc.GetCurrentPileNo()); // the bar shows the current pile's new values
    m_doc.Notify(kChangedRecords | kChangedEstimate);
    if (!refused.empty()) {
        QStringList names;
        for (int index : refused)
            names << QString::fromStdString(m_doc.m_Piles[static_cast<std::size_t>(index)].GetPileName());
        m_prompts.Tell(QString::fromUtf8(msg::kSiteSpeedKept).arg(names.join(QString::fromUtf8("、"))));
    }
}

void CReportCommands::DataChecks() {
    if (m_doc.GetPileCount() == 0) return;
    // The site's total is typed in the dialog until the report information keeps one.
    CDataChecksDlg dialog(m_doc.m_Piles, std::nullopt, m_pWindow);
    connect(&dialog, &CDataChecksDlg::RecordChosen, this, [this](int index) {
        if (const CPileRecord* rec = m_doc.GetPileAt(index)) m_doc.SetSelection({rec->m_nPileNo});
    });
    m_prompts.RunDialog(dialog);
}

void CReportCommands::OpenOrSayWhere(const QString& path) {
    if (!m_bOpenWhenDone) return;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        m_prompts.Tell(QString::fromUtf8(msg::kNoProgramToOpen).arg(QDir::toNativeSeparators(path)),
                       QMessageBox::Information);
}

} // namespace pw
