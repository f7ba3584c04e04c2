// Core's safe write (WriteFileAtomically in CByteSource.h) for writers that write a file by its name
// instead of through a byte sink: a workbook library, an archive library.
#pragma once

#include <functional>
#include <string>

namespace pw {

// body writes the whole file at tmpPath (beside path, existing and empty; stale temporaries of earlier
// killed saves are cleared first) and returns true when it did; when it fails it may put the system's
// error number in nErrno. The file is then flushed to disk and renamed over path; on any failure it
// is removed and the previous file stays. Returns "" or what went wrong; *pErrno, when given,
// receives the system's error number behind a failure.
std::string WriteFileAtomicallyByName(const std::string& path,
                                      const std::function<bool(const std::string& tmpPath, int& nErrno)>& body,
                                      int* pErrno = nullptr);

} // namespace pw
