// Steps of the undo history as differences between the stored forms of the records.
#include "core/UndoHistory.h"

#include <algorithm>
#include <cstring>

#include "core/CByteSource.h"
#include "core/CDEVAzazDoc.h"
#include "core/ProjectFile.h"

namespace pw {
namespace {

using Bytes = std::vector<uint8_t>;

// The record as a project file holds it: its layout, then what the block after the records keeps for
// it (the engineer's class decision).
Bytes Stored(const CPileRecord& rec) {
    CMemorySink sink;
    WritePile(sink, rec);
    CBinWriter out(sink);
    out.I16(rec.m_nClassDecision);
    return std::move(sink.m_Bytes);
}

Bytes StoredHeader(const CProjectHeader& header) {
    CMemorySink sink;
    WriteHeader(sink, header);
    return std::move(sink.m_Bytes);
}

// Bytes of the stored form that say where a record sits or how the screen last drew it: the pile number
// (renumbered when a record before it goes) and the step (the screen fits it to its width). A record
// differing only there was not edited.
const std::vector<std::size_t>& PlacementBytes() {
    static const std::vector<std::size_t> offsets = [] {
        std::vector<std::size_t> out;
        CPileRecord probe;
        const Bytes plain = Stored(probe);
        probe.m_nPileNo = -1;
        probe.m_nStep = -1;
        const Bytes marked = Stored(probe);
        for (std::size_t i = 0; i < plain.size() && i < marked.size(); ++i)
            if (plain[i] != marked[i]) out.push_back(i);
        return out;
    }();
    return offsets;
}

bool SameEdits(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size()) return false;
    const auto& skip = PlacementBytes();
    std::size_t from = 0;
    for (std::size_t cut : skip) {
        if (cut >= a.size()) break;
        if (std::memcmp(a.data() + from, b.data() + from, cut - from) != 0) return false;
        from = cut + 1;
    }
    return std::memcmp(a.data() + from, b.data() + from, a.size() - from) == 0;
}

bool RestoreRecord(const Bytes& bytes, CPileRecord& rec) {
    CMemorySource src(bytes);
    CPileRecord fresh;
    if (!ReadPile(src, fresh, 3)) return false;
    CBinReader in(src);
    fresh.m_nClassDecision = in.I16();
    if (!in.Ok()) return false;
    rec = std::move(fresh);
    return true;
}

} // namespace

std::string CUndoHistory::UndoName() const { return CanUndo() ? m_Steps[m_nPos - 1].strName : std::string(); }

std::string CUndoHistory::RedoName() const { return CanRedo() ? m_Steps[m_nPos].strName : std::string(); }

void CUndoHistory::Capture(const CDEVAzazDoc& doc) {
    m_Base.clear();
    m_Base.reserve(doc.m_Piles.size());
    for (const auto& rec : doc.m_Piles) m_Base.push_back(Stored(rec));
    m_BaseState = State{doc.m_Header, doc.m_nSelection, doc.m_strPath, doc.m_strTitle};
}

void CUndoHistory::Reset(const CDEVAzazDoc& doc) {
    m_Steps.clear();
    m_nPos = 0;
    m_nBytes = 0;
    m_nSavedPos = doc.m_bModified ? -1 : 0;
    Capture(doc);
}

bool CUndoHistory::Record(const CDEVAzazDoc& doc, const std::string& name) {
    std::vector<Bytes> now;
    now.reserve(doc.m_Piles.size());
    for (const auto& rec : doc.m_Piles) now.push_back(Stored(rec));

    Step step;
    step.strName = name;
    if (now.size() == m_Base.size()) {
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (SameEdits(m_Base[i], now[i])) continue;
            const Bytes& a = m_Base[i];
            const Bytes& b = now[i];
            RecordPatch patch;
            patch.nIndex = static_cast<int>(i);
            if (a.size() == b.size()) {
                // Runs of differing bytes; gaps shorter than a few bytes join their neighbours.
                std::size_t k = 0;
                while (k < a.size()) {
                    if (a[k] == b[k]) {
                        ++k;
                        continue;
                    }
                    std::size_t end = k + 1, same = 0;
                    for (std::size_t j = k + 1; j < a.size() && same < 8; ++j) {
                        if (a[j] == b[j]) {
                            ++same;
                        } else {
                            same = 0;
                            end = j + 1;
                        }
                    }
                    Run run;
                    run.nOffset = static_cast<uint32_t>(k);
                    run.nOldSize = run.nNewSize = static_cast<uint32_t>(end - k);
                    run.Old.assign(a.begin() + static_cast<long>(k), a.begin() + static_cast<long>(end));
                    run.New.assign(b.begin() + static_cast<long>(k), b.begin() + static_cast<long>(end));
                    patch.Runs.push_back(std::move(run));
                    k = end;
                }
            } else {
                // The stored form grew or shrank (amplified segments): one run between the common ends.
                std::size_t head = 0;
                while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
                std::size_t tail = 0;
                while (tail < a.size() - head && tail < b.size() - head &&
                       a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
                    ++tail;
                Run run;
                run.nOffset = static_cast<uint32_t>(head);
                run.nOldSize = static_cast<uint32_t>(a.size() - head - tail);
                run.nNewSize = static_cast<uint32_t>(b.size() - head - tail);
                run.Old.assign(a.begin() + static_cast<long>(head), a.end() - static_cast<long>(tail));
                run.New.assign(b.begin() + static_cast<long>(head), b.end() - static_cast<long>(tail));
                patch.Runs.push_back(std::move(run));
            }
            for (const auto& run : patch.Runs) step.nBytes += run.Old.size() + run.New.size() + sizeof(Run);
            step.nBytes += sizeof(RecordPatch);
            step.Patches.push_back(std::move(patch));
        }
    } else {
        // Records went or came (deletion, averaging): the common records at both ends stay, whatever
        // number they now carry; what lies between is kept whole.
        std::size_t head = 0;
        while (head < m_Base.size() && head < now.size() && SameEdits(m_Base[head], now[head])) ++head;
        std::size_t tail = 0;
        while (tail < m_Base.size() - head && tail < now.size() - head &&
               SameEdits(m_Base[m_Base.size() - 1 - tail], now[now.size() - 1 - tail]))
            ++tail;
        step.nAt = static_cast<int>(head);
        step.Removed.assign(m_Base.begin() + static_cast<long>(head), m_Base.end() - static_cast<long>(tail));
        step.Inserted.assign(now.begin() + static_cast<long>(head), now.end() - static_cast<long>(tail));
        for (const auto& r : step.Removed) step.nBytes += r.size();
        for (const auto& r : step.Inserted) step.nBytes += r.size();
    }
    const bool recordsChanged = !step.Patches.empty() || !step.Removed.empty() || !step.Inserted.empty();
    const bool headerChanged = StoredHeader(m_BaseState.Header) != StoredHeader(doc.m_Header);

    State before = m_BaseState;
    m_Base = std::move(now);
    m_BaseState = State{doc.m_Header, doc.m_nSelection, doc.m_strPath, doc.m_strTitle};
    if (!recordsChanged && !headerChanged) {
        if (!doc.m_bModified) m_nSavedPos = static_cast<long long>(m_nPos);
        return false;
    }
    step.Before = std::move(before);
    step.After = m_BaseState;
    step.bTitleToo = recordsChanged && (step.Before.Path != step.After.Path || step.Before.Title != step.After.Title);
    step.nBytes += sizeof(Step) + name.size();

    // A new action drops the steps that were undone; the saved state may go with them.
    while (m_Steps.size() > m_nPos) {
        m_nBytes -= m_Steps.back().nBytes;
        m_Steps.pop_back();
    }
    if (m_nSavedPos > static_cast<long long>(m_nPos)) m_nSavedPos = -1;
    m_nBytes += step.nBytes;
    m_Steps.push_back(std::move(step));
    ++m_nPos;
    if (!doc.m_bModified) m_nSavedPos = static_cast<long long>(m_nPos);
    Trim();
    return true;
}

void CUndoHistory::Trim() {
    std::size_t drop = 0;
    std::size_t bytes = m_nBytes;
    // Never the newest step: the action just done can always be taken back.
    while (m_Steps.size() - drop > 1 && (m_Steps.size() - drop > kMaxSteps || bytes > kMaxBytes)) {
        bytes -= m_Steps[drop].nBytes;
        ++drop;
    }
    if (drop == 0) return;
    m_Steps.erase(m_Steps.begin(), m_Steps.begin() + static_cast<long>(drop));
    m_nBytes = bytes;
    m_nPos -= drop;
    m_nSavedPos = m_nSavedPos >= static_cast<long long>(drop) ? m_nSavedPos - static_cast<long long>(drop) : -1;
}

void CUndoHistory::Apply(CDEVAzazDoc& doc, const Step& step, bool forward) {
    auto& piles = doc.m_Piles;
    for (const auto& patch : step.Patches) {
        if (patch.nIndex < 0 || static_cast<std::size_t>(patch.nIndex) >= piles.size()) continue;
        CPileRecord& rec = piles[static_cast<std::size_t>(patch.nIndex)];
        Bytes bytes = Stored(rec);
        for (const auto& run : patch.Runs) {
            const Bytes& put = forward ? run.New : run.Old;
            const std::size_t take = forward ? run.nOldSize : run.nNewSize;
            if (run.nOffset + take > bytes.size()) continue; // never past the record
            bytes.erase(bytes.begin() + run.nOffset, bytes.begin() + run.nOffset + static_cast<long>(take));
            bytes.insert(bytes.begin() + run.nOffset, put.begin(), put.end());
        }
        RestoreRecord(bytes, rec);
    }
    if (!step.Removed.empty() || !step.Inserted.empty()) {
        const auto& take = forward ? step.Removed : step.Inserted;
        const auto& put = forward ? step.Inserted : step.Removed;
        const std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(std::max(step.nAt, 0)), piles.size());
        const std::size_t end = std::min(piles.size(), at + take.size());
        piles.erase(piles.begin() + static_cast<long>(at), piles.begin() + static_cast<long>(end));
        std::vector<CPileRecord> restored(put.size());
        for (std::size_t i = 0; i < put.size(); ++i) RestoreRecord(put[i], restored[i]);
        piles.insert(piles.begin() + static_cast<long>(at), std::make_move_iterator(restored.begin()),
                     std::make_move_iterator(restored.end()));
    }
    const State& state = forward ? step.After : step.Before;
    doc.m_Header = state.Header;
    if (step.bTitleToo) {
        doc.m_strPath = state.Path;
        doc.m_strTitle = state.Title;
    }
    const bool modified = m_nSavedPos != static_cast<long long>(m_nPos);
    doc.AfterHistory(state.Selection, modified);
    Capture(doc);
}

bool CUndoHistory::Undo(CDEVAzazDoc& doc) {
    if (!CanUndo()) return false;
    --m_nPos;
    Apply(doc, m_Steps[m_nPos], false);
    return true;
}

bool CUndoHistory::Redo(CDEVAzazDoc& doc) {
    if (!CanRedo()) return false;
    ++m_nPos;
    Apply(doc, m_Steps[m_nPos - 1], true);
    return true;
}

} // namespace pw
