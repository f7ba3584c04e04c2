// The project document: header, records, selection, the pending parameter set, display options, the
// mouse tool, and every command that edits them. It never shows anything: refusals come back as the
// exact message text, questions are asked by the caller first, and listeners hear what changed.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/CEstimateState.h"
#include "core/CPileRecord.h"
#include "core/CResult.h"
#include "core/PendingParams.h"
#include "core/PileSource.h"
#include "core/ProjectFile.h"
#include "core/UndoHistory.h"

namespace pw {

struct DisplayOptions {
    int m_bVariableArea = 0;
    int m_bInvert = 0;
    int m_nLayout = 0; // 0 single trace, 1 three traces, 2 wave train, 3 amplitude, 4 power spectrum
};

// What changed, for the views.
enum DocChange : unsigned {
    kChangedRecords = 1u << 0,  // records added, removed, renumbered or their traces changed
    kChangedCurrent = 1u << 1,  // current pile, selection or neighbours
    kChangedDisplay = 1u << 2,  // display options, layout, switches, tool
    kChangedModified = 1u << 3, // the modified flag
    kChangedEstimate = 1u << 4, // the estimate bar's values
    kChangedProject = 1u << 5,  // another project took the place of the open one (open, new, merge)
    kChangedTitle = 1u << 6,    // the document's path and title (a save under a name)
    kChangedHistory = 1u << 7,  // undo or redo put records back: cursors and grabbed markers reset
};

class IDocumentListener {
public:
    virtual ~IDocumentListener() = default;
    virtual void OnDocumentChanged(unsigned changes) = 0;
};

struct CommandState {
    bool enabled = false;
    bool checked = false;
};

// Outcome of a file command (the text to show, what the system said), and the repairs made while
// reading. A file read in part is Partial: what was read is open.
struct CDocResult : CResult {
    std::vector<std::string> m_Notes; // repairs made while reading
};

class CDEVAzazDoc {
public:
    CDEVAzazDoc();
    CDEVAzazDoc(const CDEVAzazDoc&) = delete;
    CDEVAzazDoc& operator=(const CDEVAzazDoc&) = delete;

    // --- data ---
    CProjectHeader m_Header;
    DisplayOptions m_Display;
    std::vector<CPileRecord> m_Piles; // at most kMaxPiles, plus one made by averaging
    std::vector<int> m_nSelection;    // pile numbers of the selected rows; the first is the current pile
    int m_nPrevPile = -1, m_nNextPile = -1;
    std::string m_strPath;
    std::string m_strTitle;
    SourceKind m_nSource = SourceKind::kProjectFile; // what m_strPath was read from
    std::string m_strSourceFolder;                   // the tester folder read, for the folder kinds
    PendingParams m_Pending;
    int m_bSingle = 1, m_bThree = 0, m_bTrain = 0; // layout flags
    int m_bToolFlags[7] = {};                      // shift, rotate, 2, zoom in, zoom out, local zoom, 32933
    int m_nToolCode = -1;
    int m_bScale = 1;
    // Every record carries the DC-removal switch; it starts on, as new records do.
    int m_bRemoveDC = 1;
    int m_bModified = 0;
    // Sections of the project file's block that this program does not know: written back by a save
    // while the records stay as they were read, dropped (with a note) once records are added or removed.
    std::vector<CBlockSection> m_UnknownSections;
    bool m_bRecordsReshaped = false;

    // The estimate bar the apply commands read; the document's own one unless the shell attaches its.
    CEstimateState& Estimate() { return *m_pEstimate; }
    void AttachEstimate(CEstimateState* estimate) { m_pEstimate = estimate ? estimate : &m_OwnEstimate; }

    void AddListener(IDocumentListener* l);
    void RemoveListener(IDocumentListener* l);
    void Notify(unsigned changes);
    void SetModified(bool modified = true);

    // --- records and selection ---
    int GetPileCount() const { return static_cast<int>(m_Piles.size()); }
    CPileRecord* FindPile(int pileNo);
    CPileRecord* GetPileAt(int index);
    int IndexOfPile(int pileNo) const;
    int GetCurrentPileNo() const { return m_nSelection.empty() ? -1 : m_nSelection.front(); }
    CPileRecord* GetCurrentPile() { return FindPile(GetCurrentPileNo()); }
    void SetSelection(const std::vector<int>& pileNos); // the list's rows; also loads the pending set
    void SetCurrentPile(int index);                     // array position; neighbours for three traces

    // --- the screen's step ---
    // The one place the screen chooses a record's step: fitted to width (display points) and written
    // back into the record, so a save keeps the step the pile was last shown at. Returns the trace to
    // draw (valid until the next trace is asked for).
    const float* FitScreenStep(CPileRecord& rec, int width);
    // The trace a view draws at the record's step as it stands; a record changed since its step was
    // last settled has it fitted again to its last width first (written back, as above).
    const float* SettledTrace(CPileRecord& rec);

    // --- files ---
    // An empty, untitled project in place of the open one; display options, tool and switches stay.
    void NewDocument();
    // A project file of any version is read as a project; any other path opens the tester folder it
    // lies in (idindx.par + 1.wvf, 2.wvf, ...).
    CDocResult Open(const std::string& path);
    // Version 3, atomically; clears the modified flag. Refused for an existing file that is not a
    // project file (a tester folder's files among them).
    CDocResult Save(const std::string& path);
    // True when the records came from a project file (or were saved to one) that Save may replace;
    // false for a tester folder, a merge, a new project, or a project file read only in part, which
    // Save saves under a name the user picks.
    bool HasProjectFile() const;
    // A damaged project file opened with the records read before the damage; cleared by a save.
    bool IsReadInPart() const { return m_bReadInPart; }
    // What to offer in the save dialog: "<folder>.wvf" beside a tester folder, "<name>_部分.wvf" beside
    // a file read only in part, else the title.
    std::string ProposedSavePath() const;
    // A tick in the pile list; stored in the project file, so it marks the project modified.
    void SetChecked(int pileNo, bool checked);
    // The checked piles ("ZOV01"). Nothing checked: the message, and no file is left behind.
    CDocResult SaveChecked(const std::string& path);
    // Ask kSaveBeforeMerge first when modified. Success: title and path "New_Data", modified.
    CDocResult MergeFiles(const std::string& path1, const std::string& path2);
    int DeletePile(int index); // 1 deleted, 0 nothing to delete
    // The engineer's integrity class (1..4, 0 = back to the defect rule) for the pile of this record:
    // every record of the same trimmed pile number gets it. Marks the project modified when anything
    // changed; returns the number of records changed.
    int SetPileClass(int pileNo, int decision);
    // The same for every pile of a scope (当前道, 当前组, 全部波列); returns the records changed.
    int SetClassForScope(const std::string& scope, int decision);

    // --- the pending set and apply (DocumentApply.cpp) ---
    // Every apply keeps the marks on their echoes: a record whose filters' delay changes has its head
    // sample moved by the change, and a record given a new speed keeps each defect's time. An apply
    // that would move a head off the trace (0..1023) is refused whole with kHeadLeavesTrace and
    // changes nothing; callers put back what they changed in the pending set.
    void LoadPending(int pileNo); // -1: the reset values
    std::string ApplyPending();   // into every record of the estimate bar's scope; "" or the refusal
    std::string ApplyPendingTo(int pileNo);
    std::vector<int> ScopePiles(const std::string& scope); // pile numbers a scope covers, stored order
    // The scope box's write-through: each record of the scope gets the bar's speed with its toe kept
    // (the length follows) and the pending processing values, but not the amplified segments, shifts,
    // zoom or smoothing. A bar length or speed outside the commits' ranges is not used (the speed
    // kept, the message returned); a head leaving the trace refuses the whole write.
    std::string WriteBarToScope(const CEstimateState& bar, const std::string& scope);
    // 恢复参数: the reset values applied; a refusal puts the previous pending set back.
    std::string RestoreParameters();
    std::string PreZero(int value); // "" or the refusal
    std::string PostCut(int value);
    std::string Smoothing(int value);
    // Head and toe at the view's cursor: column counted from the trace box's left edge. The toe from the
    // menu (fromMenu) also writes the length it sets into the estimate bar; the toe confirmed with Enter
    // leaves the bar's length alone.
    std::string SetHeadAtColumn(int cursorColumn);
    std::string SetToeAtColumn(int cursorColumn, bool fromMenu = true);
    // Averages the selected piles into a new current pile; "" or the refusal.
    std::string AverageSelection();

    // --- marks at the view's cursor (DocumentMarkers.cpp) ---
    // cursorColumn as for the head and toe (cursor x - 10; -11 without a cursor). Each change marks the
    // project modified and tells the views; "" or the refusal text comes back.
    // A defect of kind 1..7 strictly between head and toe; with ten defects nothing happens and "" returns.
    std::string AddDefectAtColumn(int kind, int cursorColumn);
    bool DeleteDefect(int index); // false when index is not a used entry
    bool MoveDefectToColumn(int index, int cursorColumn);
    // Pre-zero and post-cut at the cursor, in samples; the pending set remembers the value.
    std::string PreZeroAtColumn(int cursorColumn);
    std::string PostCutAtColumn(int cursorColumn);
    // Spectrum marks of the current pile, columns of the spectrum box. Add: false with five marks. Move:
    // the mark leaves its place in the list and comes back last; returns its new index or -1.
    bool AddSpectrumMark(int column);
    bool DeleteSpectrumMark(int index);
    int MoveSpectrumMark(int index, int column);

    // --- undo and redo ---
    // The history is kept only where someone can undo (the window, the tests): the CLI's one-shot
    // commands pay nothing for it. Open, new and merge start it afresh.
    void EnableHistory();
    bool HasHistory() const { return m_pHistory != nullptr; }
    const CUndoHistory* History() const { return m_pHistory.get(); }
    // After each user action, under the name the undo command shows; true when it made a step.
    bool RecordStep(const std::string& name);
    bool Undo();
    bool Redo();
    std::string UndoName() const { return m_pHistory ? m_pHistory->UndoName() : std::string(); }
    std::string RedoName() const { return m_pHistory ? m_pHistory->RedoName() : std::string(); }
    // The history put records back: they are renumbered and redrawn, the selection and the modified
    // flag are the step's, and the views hear of everything.
    void AfterHistory(const std::vector<int>& selection, bool modified);

    // --- switches, layouts, tools (DocumentCommands.cpp) ---
    void ToggleRemoveDC();
    void ToggleInvert();
    void ToggleVariableArea();
    std::string ToggleIntegrate(); // applies; "" or the apply's refusal (the switch then stays)
    void ToggleScale();
    void SetLayout(int commandId); // single, three, train, many traces, amplitude or power spectrum
    void ChooseTool(int commandId);
    CommandState GetCommandState(int commandId) const;

private:
    // Length, speed and the pending processing values into one record, the marks following (see the
    // apply above). False, and nothing written, when its head would leave the trace.
    bool WriteBarAndPending(CPileRecord& rec, float length, int16_t speed) const;
    // Where the record's head goes when it takes the pending filters at this length and speed (the
    // delay is 0 for a record that is not processed); nullopt when that is off the trace.
    std::optional<int> HeadAfterPending(const CPileRecord& rec, float length, int16_t speed) const;

    void TakeRecords(CProjectData&& data, bool keepTexts);
    void ReleaseRecords();
    void AfterLoad();

    void ResetHistory();

    bool m_bReadInPart = false;
    std::unique_ptr<CUndoHistory> m_pHistory;
    CEstimateState m_OwnEstimate;
    CEstimateState* m_pEstimate = &m_OwnEstimate;
    std::vector<IDocumentListener*> m_Listeners;
    int m_nDispatching = 0; // nesting depth of Notify
};

} // namespace pw
