// Printing, preview and the picture commands (see CPrintCommands.h).
#include "shell/CPrintCommands.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStringList>

#include "core/CommandIds.h"
#include "core/PictureFiles.h"
#include "core/ViewLayout.h"
#include "shell/CCommandRouter.h"
#include "shell/CDialogProgress.h"
#include "shell/CShellPrompts.h"
#include "shell/SettingsPaths.h"
#include "shell/ShellCommandIds.h"
#include "shell/ShellMessages.h"
#include "view/CPagePrinter.h"
#include "view/CPilePicture.h"

namespace pw {
namespace {

CDate Today() {
    const QDate d = QDate::currentDate();
    return CDate{d.year(), d.month(), d.day()};
}

} // namespace

CPrintCommands::CPrintCommands(CDEVAzazDoc& doc, CShellPrompts& prompts, QWidget* window,
                               std::function<void()> clearPanes)
    : QObject(window), m_strSettingsPath(PrintSettingsPath()), m_doc(doc), m_prompts(prompts),
      m_pWindow(window), m_ClearPanes(std::move(clearPanes)) {}

void CPrintCommands::Register(CCommandRouter& router) {
    router.Handle(cmd::kPrint, [this] { Print(); });
    router.Handle(cmd::kPrintPreview, [this] { Preview(); });
    router.Handle(cmd::kSaveTraceImage, [this] { SaveCurrentPicture(); });
    router.Handle(cmd::kSaveSelectedTraces, [this] { SaveSelectedPictures(); });
    auto anyPile = [this] { return CommandState{m_doc.GetPileCount() > 0, false}; };
    router.SetStateRule(cmd::kPrint, anyPile);
    router.SetStateRule(cmd::kPrintPreview, anyPile);
    router.SetStateRule(cmd::kSaveSelectedTraces, anyPile);
    router.SetStateRule(cmd::kSaveTraceImage, [this] {
        return CommandState{m_doc.GetCurrentPile() != nullptr, false};
    });
}

CPrintSettings CPrintCommands::Settings() const {
    return LoadPrintSettings(m_strSettingsPath.toStdString());
}

CPrintJob CPrintCommands::MakeJob(bool preview) const {
    CPrintJob job = MakePrintJob(m_doc, Settings(), Today());
    job.m_bPreview = preview;
    return job;
}

void CPrintCommands::SetUpPrinter(QPrinter& printer, const CPrintJob& job) const {
    CPagePrinter(job).ConfigureDevice(printer);
    printer.setFullPage(true); // the page's origin is the paper's corner, as the margins are the settings'
    printer.setDocName(QString::fromStdString(job.m_strTitle).left(31));
}

void CPrintCommands::Print() {
    const CPrintJob job = MakeJob(false);
    const CPagePrinter pages(job);
    if (pages.PageCount() == 0) return;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, job);
    QPrintDialog dialog(&printer, m_pWindow);
    dialog.setMinMax(1, pages.PageCount());
    if (m_prompts.RunDialog(dialog) != QDialog::Accepted) return;
    // The dialog may have changed the paper; the pages keep the settings' size.
    pages.ConfigureDevice(printer);
    printer.setFullPage(true);
    const int from = printer.fromPage() > 0 ? printer.fromPage() : 1;
    const int to = printer.toPage() > 0 ? printer.toPage() : pages.PageCount();
    CDialogProgress progress(QString::fromUtf8(msg::kPrintProgress), m_pWindow);
    // The document, the printer and where it goes (a file when printing to PDF).
    QStringList label{QString::fromUtf8(msg::kPrintProgress), printer.docName(), printer.printerName()};
    if (!printer.outputFileName().isEmpty()) label << printer.outputFileName();
    label.removeAll(QString());
    progress.SetLabel(label.join(QLatin1Char('\n')));
    const bool ok = pages.PrintPages(printer, from, to, &progress);
    const bool cancelled = progress.IsCancelled();
    progress.Dialog().reset(); // gone before any message
    if (cancelled) printer.abort();
    if (!ok && !cancelled) m_prompts.Tell(QString::fromUtf8(msg::kPrintFailed));
}

void CPrintCommands::Preview() {
    if (m_ClearPanes) m_ClearPanes();
    const CPrintJob job = MakeJob(true);
    const CPagePrinter pages(job);
    if (pages.PageCount() == 0) return;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, job);
    QPrintPreviewDialog dialog(&printer, m_pWindow);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&pages](QPrinter* p) {
        pages.ConfigureDevice(*p);
        p->setFullPage(true);
        pages.PrintPages(*p, 1, pages.PageCount());
    });
    m_prompts.RunDialog(dialog);
}

void CPrintCommands::SaveCurrentPicture() {
    const CPileRecord* rec = m_doc.GetCurrentPile();
    if (!rec) return;
    // The list row of the current pile gives the number in the proposed name.
    int row = 0;
    for (std::size_t i = 0; i < m_doc.m_Piles.size(); ++i)
        if (&m_doc.m_Piles[i] == rec) row = static_cast<int>(i);
    const std::string name = LayoutOf(m_doc.m_Display.m_nLayout) == Layout::WaveTrain
                                 ? SafeFileNamePart(m_doc.m_Header.GetProjectName()) + ".bmp"
                                 : PictureFileName(rec->GetPileName(), row + 1);
    const QString path = m_prompts.AskSavePath(QString::fromUtf8(msg::kPictureFilter),
                                               QDir::current().filePath(QString::fromStdString(name)));
    if (path.isEmpty()) return;
    CPictureOptions options;
    options.m_Settings = Settings();
    options.m_Cell = CellOptionsOf(m_doc);
    const CResult written =
        WritePilePicture(*rec, PictureLayoutOf(LayoutOf(m_doc.m_Display.m_nLayout)), options, path.toStdString());
    if (!written.Ok())
        m_prompts.Tell(
            QString::fromUtf8(msg::kPictureNotSaved).arg(path, QString::fromStdString(written.m_strMessage)),
            QMessageBox::Critical);
}

void CPrintCommands::SaveSelectedPictures() {
    if (m_doc.GetPileCount() == 0) return;
    const std::vector<int> piles = PrintedPiles(m_doc.m_Piles, m_doc.m_nSelection);
    if (piles.empty()) return;
    const QString folder = m_prompts.AskFolder(QString::fromUtf8(msg::kPictureFolderTitle));
    if (folder.isEmpty()) return; // cancelled: nothing is written
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable()) {
        m_prompts.Tell(QString::fromUtf8(msg::kNoFolder), QMessageBox::Critical);
        return;
    }
    const QDir dir(folder);
    std::vector<QString> paths;
    int existing = 0;
    for (const int index : piles) {
        const CPileRecord& rec = m_doc.m_Piles[static_cast<std::size_t>(index)];
        paths.push_back(
            dir.filePath(QString::fromStdString(PictureFileName(rec.GetPileName(), rec.m_nPileNo))));
        if (QFileInfo::exists(paths.back())) ++existing;
    }
    if (existing > 0 && m_prompts.Ask(QString::fromUtf8(msg::kAppTitle),
                                      QString::fromUtf8(msg::kReplacePictures).arg(existing),
                                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;

    CPictureOptions options;
    options.m_Settings = Settings();
    options.m_Cell = CellOptionsOf(m_doc);
    const PictureLayout layout = PictureLayoutOf(LayoutOf(m_doc.m_Display.m_nLayout));
    CDialogProgress progress(QString::fromUtf8(msg::kPictureProgress), m_pWindow);
    progress.SetTotal(static_cast<int>(piles.size()));
    // One file that cannot be written does not stop the others; the failures are listed at the end.
    QStringList failures;
    for (std::size_t i = 0; i < piles.size() && !progress.IsCancelled(); ++i) {
        const CPileRecord& rec = m_doc.m_Piles[static_cast<std::size_t>(piles[i])];
        const CResult written = WritePilePicture(rec, layout, options, paths[i].toStdString());
        if (!written.Ok())
            failures << QString::fromUtf8(msg::kPictureFailureLine)
                            .arg(QFileInfo(paths[i]).fileName(),
                                 QString::fromStdString(written.m_strMessage));
        progress.Advance(QFileInfo(paths[i]).fileName().toStdString());
    }
    progress.Dialog().reset(); // gone before the list of failures
    if (!failures.isEmpty())
        m_prompts.Tell(QString::fromUtf8(msg::kPicturesNotSaved).arg(failures.size()).arg(failures.join(QLatin1Char('\n'))),
                       QMessageBox::Critical);
}

} // namespace pw
