#pragma once

#include <QString>

namespace tardigo {

/// Why an exchange with a server came to nothing, in the kinds a caller acts on differently.
enum class DavFailure {
    None,
    Network,            // no connection, a connection dropped, no answer in time
    Certificate,        // a certificate that is neither trusted nor accepted for the account
    InsecureUrl,        // plain http to another computer without the user's leave
    Redirect,           // sent on to another host, to plain http, or too often
    TooLarge,           // an answer longer than the client reads
    Unauthorized,       // 401: the user name or the password was refused
    Forbidden,          // 403
    NotFound,           // 404 or 410
    PreconditionFailed, // 412: the resource changed since its ETag was read
    Server,             // any other status outside 2xx
    BadAnswer,          // an answer that does not read as what was asked
    Cancelled,          // the user stopped the work the request was part of
};

/// A failure and a sentence about it naming the server; the sentence quotes what the server said
/// only in short excerpts, which a terminal must still escape.
struct DavError {
    DavFailure failure = DavFailure::None;
    QString message;

    bool ok() const { return failure == DavFailure::None; }
};

/// A value, or why there is none.
template <class T> struct DavResult {
    T value{};
    DavError error;

    bool ok() const { return error.ok(); }
    static DavResult failed(DavError error) { return {T{}, std::move(error)}; }
};

} // namespace tardigo
