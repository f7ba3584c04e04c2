// Numeric fields of a pile record by their names, for --set FIELD=VALUE.
#pragma once

#include <string>

#include "core/CPileRecord.h"

namespace pw::cli {

// Assigns value to the named numeric field (stored fields plus m_nViewPoints, m_nWindowType,
// m_bRemoveDC), converted to the field's own type. Returns "" or what is wrong (unknown field, a
// value that is not a number or does not fit the field).
std::string SetRecordField(CPileRecord& rec, const std::string& field, const std::string& value);

} // namespace pw::cli
