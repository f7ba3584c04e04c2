// The outcome of a command, a read or a write, as every layer reports it: a code a program tests, the
// Chinese sentence a user reads and the English detail a log or the command line adds after it.
#pragma once

#include <string>
#include <utility>

namespace pw {

// What happened, in the few kinds callers act on differently. Keep the list short: a caller that
// needs more than these looks at the payload of its own result, not at a new code.
enum class EResultCode {
    Ok,          // done completely
    Partial,     // done, with something left out (the message says what)
    Refused,     // not started: the data or the request does not allow it; nothing changed
    ReadFailed,  // a file or a device could not be read
    WriteFailed, // a file could not be written; the previous file is intact
    Cancelled,   // the user stopped it; nothing was written
    Failed,      // anything else that went wrong
};

// Texts are UTF-8. m_strMessage may be empty on a failure the user does not need to be told about
// (a refusal the caller has already explained), never on a failure the user must see.
struct CResult {
    EResultCode m_eCode = EResultCode::Ok;
    std::string m_strMessage; // Chinese, for the user: "" when there is nothing to say
    std::string m_strDetail;  // English, for logs and the command line: the system's words, file names

    bool Ok() const { return m_eCode == EResultCode::Ok; }
    // Done, completely or with something left out: a file or a record now exists.
    bool Done() const { return m_eCode == EResultCode::Ok || m_eCode == EResultCode::Partial; }
    bool Cancelled() const { return m_eCode == EResultCode::Cancelled; }

    static CResult Success() { return {}; }
    static CResult Failure(EResultCode eCode, std::string strMessage, std::string strDetail = {}) {
        return CResult{eCode, std::move(strMessage), std::move(strDetail)};
    }
    static CResult Cancel() { return CResult{EResultCode::Cancelled, {}, "cancelled"}; }

    // The line the command line prints: the Chinese sentence, then the English detail in brackets.
    std::string CliText() const {
        if (m_strDetail.empty()) return m_strMessage;
        if (m_strMessage.empty()) return m_strDetail;
        return m_strMessage + " (" + m_strDetail + ")";
    }
};

} // namespace pw
