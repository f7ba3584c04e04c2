// Releases the records and the path; the display options, tool and switches stay as they are.
#include "shell/DocumentReset.h"

#include "core/CoreMessages.h"

namespace pw {

void ResetAsNewDocument(CDEVAzazDoc& doc) {
    doc.m_Piles.clear();
    doc.m_Header = CProjectHeader{};
    doc.m_nSelection.clear();
    doc.m_nPrevPile = doc.m_nNextPile = -1;
    doc.m_strPath.clear();
    doc.m_strTitle = msg::kUntitled;
    doc.m_bModified = 0;
    doc.LoadPending(-1);
    doc.Notify(kChangedRecords | kChangedCurrent | kChangedModified | kChangedEstimate);
}

} // namespace pw
