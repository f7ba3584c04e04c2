// Undo and redo of the engineer's edits. Each step keeps only what one user action changed: for a
// record whose place stayed, the byte runs of its stored form that differ; for records deleted or added,
// the whole stored records. The project's header, selection and (when records went with it) its title
// come back with the records. No Qt: the window and the tests drive it alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/CProjectHeader.h"

namespace pw {

class CDEVAzazDoc;

class CUndoHistory {
public:
    // Steps kept at most, and the memory they may hold; the oldest steps go first past either. A scope
    // apply over 500 piles costs about 40 KB (only the changed fields), a deleted pile its stored
    // record (about 4.3 KB), so the byte limit is reached only by hundreds of deletions.
    static constexpr std::size_t kMaxSteps = 200;
    static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

    // Forgets every step: the document as it stands is where history starts (open, new, merge).
    void Reset(const CDEVAzazDoc& doc);
    // Called after each user action: when the stored project differs from what the last call saw, a
    // step with this name is added (and any redo steps dropped). Returns true when a step was added.
    // A document that is not modified afterwards is the saved state (a save is an action too).
    bool Record(const CDEVAzazDoc& doc, const std::string& name);

    // The user chose other piles: the next step starts from this selection.
    void NoteSelection(const std::vector<int>& selection) { m_BaseState.Selection = selection; }

    bool CanUndo() const { return m_nPos > 0; }
    bool CanRedo() const { return m_nPos < m_Steps.size(); }
    std::string UndoName() const; // "" when there is nothing to undo
    std::string RedoName() const;
    // Puts the records (and header, selection) back; the modified flag follows the saved state. False
    // when there was nothing to do.
    bool Undo(CDEVAzazDoc& doc);
    bool Redo(CDEVAzazDoc& doc);

    std::size_t StepCount() const { return m_Steps.size(); }
    std::size_t HeldBytes() const { return m_nBytes; }

private:
    // A record's stored form, the bytes a project file holds for it.
    using Bytes_t = std::vector<uint8_t>;
    struct Run {
        uint32_t nOffset = 0; // where the run starts in the record's stored form
        uint32_t nOldSize = 0, nNewSize = 0;
        Bytes_t Old, New;
    };
    // One record changed in place.
    struct RecordPatch {
        int nIndex = 0;
        std::vector<Run> Runs;
    };
    struct State {
        CProjectHeader Header;
        std::vector<int> Selection;
        std::string Path, Title;
    };
    struct Step {
        std::string strName;
        std::vector<RecordPatch> Patches; // records that kept their places
        // Records removed and inserted at nAt (deletion, averaging): whole stored forms.
        int nAt = 0;
        std::vector<Bytes_t> Removed, Inserted;
        State Before, After;
        bool bTitleToo = false; // the path and title changed with the records (the last pile deleted)
        std::size_t nBytes = 0;
    };

    void Capture(const CDEVAzazDoc& doc);
    void Apply(CDEVAzazDoc& doc, const Step& step, bool forward);
    void Trim();

    std::vector<Step> m_Steps;
    std::size_t m_nPos = 0;      // steps applied; undo takes m_Steps[m_nPos - 1]
    long long m_nSavedPos = 0;   // position of the saved state, -1 when no position holds it
    std::size_t m_nBytes = 0;
    // What the last Record (or Reset) saw.
    std::vector<Bytes_t> m_Base;
    State m_BaseState;
};

} // namespace pw
