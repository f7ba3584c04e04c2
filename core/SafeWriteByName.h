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
// bDurable false leaves out the flush to disk (the rename stays all-or-nothing for the program): only
// for a file that is a step on the way, written again durably later, whose writer cannot wait for the
// disk — the link's download into a work folder, where the tester waits two seconds for the next
// "SEND" and a flush on a busy disk can take longer.
std::string
WriteFileAtomicallyByName(const std::string& path,
                          const std::function<bool(const std::string& tmpPath, int& nErrno)>& body,
                          int* pErrno = nullptr, bool bDurable = true);

} // namespace pw
