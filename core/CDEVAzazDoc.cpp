// The document's records, selection, listeners and file commands.
#include "core/CDEVAzazDoc.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/CoreMessages.h"
#include "core/PileOrder.h"
#include "core/PileSource.h"
#include "core/ReadErrorText.h"
#include "core/TesterFolder.h"
#include "core/TraceProcessing.h"
#include "core/WriteErrorText.h"

namespace pw {
namespace {

std::string FileNameOf(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

} // namespace

CDEVAzazDoc::CDEVAzazDoc() : m_strTitle(msg::kUntitled) { m_Piles.reserve(kMaxPiles + 1); }

void CDEVAzazDoc::AddListener(IDocumentListener* l) {
    if (l && std::find(m_Listeners.begin(), m_Listeners.end(), l) == m_Listeners.end()) m_Listeners.push_back(l);
}

void CDEVAzazDoc::RemoveListener(IDocumentListener* l) {
    if (m_nDispatching > 0) {
        // A listener may go away while others are being told (a view closing itself): blank its slot
        // so the running dispatch skips it; the slots are compacted when the outermost one ends.
        std::replace(m_Listeners.begin(), m_Listeners.end(), l, static_cast<IDocumentListener*>(nullptr));
        return;
    }
    m_Listeners.erase(std::remove(m_Listeners.begin(), m_Listeners.end(), l), m_Listeners.end());
}

void CDEVAzazDoc::Notify(unsigned changes) {
    ++m_nDispatching;
    // By index, re-reading the slot each time: a listener removed by an earlier one is never called.
    // Listeners added meanwhile hear from the next change on.
    const std::size_t count = m_Listeners.size();
    for (std::size_t i = 0; i < count && i < m_Listeners.size(); ++i)
        if (IDocumentListener* l = m_Listeners[i]) l->OnDocumentChanged(changes);
    if (--m_nDispatching == 0)
        m_Listeners.erase(std::remove(m_Listeners.begin(), m_Listeners.end(), nullptr), m_Listeners.end());
}

void CDEVAzazDoc::SetModified(bool modified) {
    const int value = modified ? 1 : 0;
    if (m_bModified == value) return;
    m_bModified = value;
    Notify(kChangedModified);
}

CPileRecord* CDEVAzazDoc::FindPile(int pileNo) {
    for (auto& p : m_Piles)
        if (p.m_nPileNo == pileNo) return &p;
    return nullptr;
}

CPileRecord* CDEVAzazDoc::GetPileAt(int index) {
    return index >= 0 && index < GetPileCount() ? &m_Piles[static_cast<std::size_t>(index)] : nullptr;
}

const float* CDEVAzazDoc::FitScreenStep(CPileRecord& rec, int width) {
    FitViewStep(rec, width);
    return SettleStep(rec);
}

const float* CDEVAzazDoc::SettledTrace(CPileRecord& rec) { return SettleStep(rec); }

int CDEVAzazDoc::IndexOfPile(int pileNo) const {
    for (std::size_t i = 0; i < m_Piles.size(); ++i)
        if (m_Piles[i].m_nPileNo == pileNo) return static_cast<int>(i);
    return -1;
}

void CDEVAzazDoc::SetSelection(const std::vector<int>& pileNos) {
    m_nSelection = pileNos;
    // What an undo puts back is the selection the user had when they acted.
    if (m_pHistory) m_pHistory->NoteSelection(m_nSelection);
    const int index = IndexOfPile(GetCurrentPileNo());
    if (index >= 0) SetCurrentPile(index);
    LoadPending(GetCurrentPileNo());
    Notify(kChangedCurrent);
}

void CDEVAzazDoc::SetCurrentPile(int index) {
    if (m_Piles.empty() || index < 0 || index >= GetPileCount()) return;
    const int n = GetPileCount();
    if (m_nSelection.empty()) m_nSelection.push_back(0);
    m_nSelection.front() = m_Piles[static_cast<std::size_t>(index)].m_nPileNo;
    if (n >= 3) {
        m_nPrevPile = m_Piles[static_cast<std::size_t>(index == 0 ? n - 1 : index - 1)].m_nPileNo;
        m_nNextPile = m_Piles[static_cast<std::size_t>(index == n - 1 ? 0 : index + 1)].m_nPileNo;
    } else {
        // With one or two records there are no distinct neighbours: the three-trace layout shows what exists.
        m_nPrevPile = m_nNextPile = -1;
    }
}

void CDEVAzazDoc::ReleaseRecords() {
    m_Piles.clear();
    m_UnknownSections.clear();
    m_bRecordsReshaped = false;
    m_Header.m_nPileCount = 0;
    m_nSelection.clear();
    m_nPrevPile = m_nNextPile = -1;
    m_bReadInPart = false;
}

void CDEVAzazDoc::TakeRecords(CProjectData&& data, bool keepTexts) {
    ReleaseRecords();
    if (!keepTexts) m_Header = data.m_Header;
    m_Piles = std::move(data.m_Piles);
    m_Piles.reserve(kMaxPiles + 1);
    for (auto& p : m_Piles) p.m_bRemoveDC = m_bRemoveDC; // records follow the document's switch
    m_Header.m_nPileCount = static_cast<int16_t>(m_Piles.size());
    m_UnknownSections = std::move(data.m_UnknownSections);
    m_bRecordsReshaped = false;
}

void CDEVAzazDoc::AfterLoad() {
    if (!m_Piles.empty()) {
        SetCurrentPile(0);
        LoadPending(m_Piles.front().m_nPileNo);
    }
    ResetHistory();
    Notify(kChangedRecords | kChangedCurrent | kChangedModified | kChangedEstimate | kChangedProject);
}

void CDEVAzazDoc::NewDocument() {
    ReleaseRecords();
    m_Header = CProjectHeader{};
    m_strPath.clear();
    m_nSource = SourceKind::kProjectFile;
    m_strSourceFolder.clear();
    m_strTitle = msg::kUntitled;
    m_bModified = 0;
    LoadPending(-1);
    ResetHistory();
    Notify(kChangedRecords | kChangedCurrent | kChangedModified | kChangedEstimate | kChangedProject);
}

CDocResult CDEVAzazDoc::Open(const std::string& path) {
    CDocResult result;
    CPileSource source = OpenPileSource(path);
    if (source.m_nKind == SourceKind::kUnreadable) { // nothing was read: the open project stays
        result.m_eCode = EResultCode::ReadFailed;
        result.m_strMessage = msg::kFileOpenFailed;
        result.m_strDetail = path + ": " + source.m_Report.m_strError;
        return result;
    }
    CReadReport& report = source.m_Report;
    CProjectData& data = source.m_Data;
    if (data.m_Piles.size() > static_cast<std::size_t>(kMaxPiles)) {
        report.m_Notes.push_back("the file holds " + std::to_string(data.m_Piles.size()) + " records; the first " +
                                 std::to_string(kMaxPiles) + " are open");
        data.m_Piles.resize(kMaxPiles);
    }
    // A tester folder has no project texts of its own: the ones shown stay as they are.
    TakeRecords(std::move(data), source.m_nKind != SourceKind::kProjectFile);
    m_nSource = source.m_nKind;
    m_strSourceFolder = source.m_strFolder;
    m_strPath = path;
    m_strTitle = FileNameOf(path);
    m_bModified = 0;
    result.m_Notes = std::move(report.m_Notes);
    if (!report.m_bOk) {
        // What was read before the damage is open; the file on disk is left as it is, and a save
        // goes under another name: saving in place would cut the file to what was read.
        m_bReadInPart = true;
        result.m_eCode = EResultCode::Partial;
        result.m_strMessage = ReadErrorText(report, FileNameOf(path)) + msg::kSavePartAs;
        result.m_strDetail = FileNameOf(path) + ": " + report.m_strError;
    }
    AfterLoad();
    return result;
}

bool CDEVAzazDoc::HasProjectFile() const {
    return m_nSource == SourceKind::kProjectFile && !m_bReadInPart && !m_strPath.empty() &&
           m_strPath != msg::kMergedTitle;
}

std::string CDEVAzazDoc::ProposedSavePath() const {
    if (m_nSource == SourceKind::kTesterFolder || m_nSource == SourceKind::kNoIndexFolder)
        return ProjectPathBesideFolder(m_strSourceFolder);
    if (m_bReadInPart) {
        // Beside the damaged file, under a name that says what it holds: "half.wvf" -> "half_部分.wvf".
        std::filesystem::path p(m_strPath);
        return (p.parent_path() / (p.stem().string() + msg::kPartSuffix + ".wvf")).string();
    }
    return m_strTitle;
}

CDocResult CDEVAzazDoc::Save(const std::string& path) {
    CDocResult result;
    // Never write over a file that is not a project file: a tester folder's idindx.par or per-pile
    // file, or anything else the user's data lives in.
    if (std::string why; !IsReplaceableByProject(path, &why)) {
        result.m_eCode = EResultCode::Refused;
        result.m_strMessage = msg::kNotReplaceable;
        result.m_strDetail = path + ": " + why;
        return result;
    }
    m_Header.m_nPileCount = static_cast<int16_t>(m_Piles.size());
    // Sections we do not know name records by their place: once records came or went, they may name
    // the wrong ones, so they are not written.
    if (m_bRecordsReshaped && !m_UnknownSections.empty())
        result.m_Notes.push_back(std::to_string(m_UnknownSections.size()) +
                                 " sections of the block after the records that this program does not know were "
                                 "dropped: records were added or deleted since the file was read");
    const std::vector<CBlockSection> none;
    int nErrno = 0;
    const std::string error =
        SaveProjectFile(path, m_Header, m_Piles, &nErrno, m_bRecordsReshaped ? none : m_UnknownSections);
    if (!error.empty()) {
        result.m_eCode = EResultCode::WriteFailed;
        result.m_strMessage = msg::kSaveFailed + WriteErrorReason(nErrno);
        result.m_strDetail = error;
        return result;
    }
    m_strPath = path;
    m_strTitle = FileNameOf(path);
    m_nSource = SourceKind::kProjectFile;
    m_strSourceFolder.clear();
    m_bReadInPart = false; // the file now holds exactly what is open
    if (m_bRecordsReshaped) m_UnknownSections.clear();
    m_bRecordsReshaped = false;
    SetModified(false);
    // The title and path changed even when the modified flag did not: the frame shows the new name now.
    Notify(kChangedTitle);
    return result;
}

void CDEVAzazDoc::SetChecked(int pileNo, bool checked) {
    CPileRecord* rec = FindPile(pileNo);
    if (!rec || (rec->m_bChecked != 0) == checked) return;
    rec->m_bChecked = checked ? 1 : 0;
    SetModified(true); // the tick is stored in the project file
}

CDocResult CDEVAzazDoc::SaveChecked(const std::string& path) {
    CDocResult result;
    std::vector<int> checked;
    for (const auto& p : m_Piles)
        if (p.m_bChecked) checked.push_back(p.m_nPileNo);
    if (checked.empty()) { // nothing to save: say so, and leave no empty file behind
        result.m_eCode = EResultCode::Refused;
        result.m_strMessage = msg::kNothingChecked;
        return result;
    }
    int nErrno = 0;
    const std::string error = WriteFileAtomically(
        path, [&](CByteSink& sink) { return WriteCheckedPiles(sink, m_Header, m_Piles, checked); }, &nErrno);
    if (!error.empty()) {
        result.m_eCode = EResultCode::WriteFailed;
        result.m_strMessage = msg::kFileOpenFailed + WriteErrorReason(nErrno);
        result.m_strDetail = error;
    }
    return result;
}

CDocResult CDEVAzazDoc::MergeFiles(const std::string& path1, const std::string& path2) {
    CDocResult result;
    std::string e1, e2;
    if (!CFileSource::Open(path1, &e1) || !CFileSource::Open(path2, &e2)) {
        // A file that cannot be opened changes nothing.
        result.m_eCode = EResultCode::ReadFailed;
        result.m_strMessage = msg::kMergeFailed;
        result.m_strDetail = !e1.empty() ? path1 + ": " + e1 : path2 + ": " + e2;
        return result;
    }
    CProjectData merged;
    const CReadReport report = MergeProjectFiles(path1, path2, merged);
    ReleaseRecords();
    if (!report.m_bOk) {
        result.m_eCode = EResultCode::ReadFailed;
        result.m_strMessage = msg::kMergeFailed;
        result.m_strDetail = report.m_strError;
        ResetHistory(); // the records before the merge are gone: nothing can come back
        Notify(kChangedRecords | kChangedCurrent);
        return result;
    }
    TakeRecords(std::move(merged), false);
    m_strPath = msg::kMergedTitle;
    m_strTitle = msg::kMergedTitle;
    m_nSource = SourceKind::kProjectFile;
    m_strSourceFolder.clear();
    m_bModified = 1; // the user saves the merged project under a name of their choice
    result.m_Notes = report.m_Notes;
    AfterLoad();
    return result;
}

int CDEVAzazDoc::DeletePile(int index) {
    if (index < 0 || index >= GetPileCount()) return 0;
    if (GetPileCount() < 2) {
        ReleaseRecords();
        m_strTitle = msg::kUntitled;
        m_strPath.clear();
        Notify(kChangedRecords | kChangedCurrent);
        return 1;
    }
    m_Piles.erase(m_Piles.begin() + index); // whole records move down, segment lists with them
    m_bRecordsReshaped = true;
    for (std::size_t i = static_cast<std::size_t>(index); i < m_Piles.size(); ++i)
        m_Piles[i].m_nPileNo = static_cast<int16_t>(i + 1);
    m_Header.m_nPileCount = static_cast<int16_t>(m_Piles.size());
    // The selection held numbers that no longer mean the same records: the record now in the deleted
    // one's place becomes current.
    m_nSelection.clear();
    SetCurrentPile(std::min(index, GetPileCount() - 1));
    LoadPending(GetCurrentPileNo());
    SetModified(true);
    Notify(kChangedRecords | kChangedCurrent | kChangedEstimate);
    return 1;
}

void CDEVAzazDoc::EnableHistory() {
    if (!m_pHistory) m_pHistory = std::make_unique<CUndoHistory>();
    m_pHistory->Reset(*this);
}

void CDEVAzazDoc::ResetHistory() {
    if (m_pHistory) m_pHistory->Reset(*this);
}

bool CDEVAzazDoc::RecordStep(const std::string& name) { return m_pHistory && m_pHistory->Record(*this, name); }

bool CDEVAzazDoc::Undo() { return m_pHistory && m_pHistory->Undo(*this); }

bool CDEVAzazDoc::Redo() { return m_pHistory && m_pHistory->Redo(*this); }

void CDEVAzazDoc::AfterHistory(const std::vector<int>& selection, bool modified) {
    for (std::size_t i = 0; i < m_Piles.size(); ++i) {
        CPileRecord& rec = m_Piles[i];
        rec.m_nPileNo = static_cast<int16_t>(i + 1);
        rec.m_bRemoveDC = m_bRemoveDC;
        rec.Touch();
    }
    m_Header.m_nPileCount = static_cast<int16_t>(m_Piles.size());
    m_nSelection.clear();
    for (int no : selection)
        if (IndexOfPile(no) >= 0) m_nSelection.push_back(no);
    m_nPrevPile = m_nNextPile = -1;
    if (!m_Piles.empty()) SetCurrentPile(m_nSelection.empty() ? 0 : IndexOfPile(m_nSelection.front()));
    LoadPending(GetCurrentPileNo());
    m_bModified = modified ? 1 : 0;
    Notify(kChangedRecords | kChangedCurrent | kChangedModified | kChangedEstimate | kChangedTitle |
           kChangedHistory);
}

int CDEVAzazDoc::SetPileClass(int pileNo, int decision) {
    const CPileRecord* rec = FindPile(pileNo);
    if (!rec || decision < 0 || decision > 4) return 0;
    const std::string name = TrimmedPileName(*rec);
    int changed = 0;
    for (auto& p : m_Piles)
        if (TrimmedPileName(p) == name && p.m_nClassDecision != decision) {
            p.m_nClassDecision = static_cast<int16_t>(decision);
            ++changed;
        }
    if (changed > 0) {
        SetModified(true);
        Notify(kChangedRecords);
    }
    return changed;
}

int CDEVAzazDoc::SetClassForScope(const std::string& scope, int decision) {
    int changed = 0;
    for (int pileNo : ScopePiles(scope)) changed += SetPileClass(pileNo, decision);
    return changed;
}

} // namespace pw
