// An empty, untitled document in place of the open one (the framework's New). GUI-free; belongs in
// the document once it has such an operation.
#pragma once

#include "core/CDEVAzazDoc.h"

namespace pw {

void ResetAsNewDocument(CDEVAzazDoc& doc);

} // namespace pw
