#pragma once

#include "caldav/dav_error.h"

#include <QEventLoop>

#include <functional>
#include <optional>
#include <utility>

namespace tardigo {

/// Runs an asynchronous call to its answer in a local event loop, for callers that may wait (the
/// command line, a worker thread): `start` is given the callback to answer through.
template <class Answer, class Start> Answer waitFor(Start&& start) {
    std::optional<Answer> answer;
    QEventLoop loop;
    start([&](Answer given) {
        answer = std::move(given);
        loop.quit();
    });
    if (!answer)
        loop.exec();
    return std::move(*answer);
}

/// The same for a call that answers a DavResult (CalDavClient's), given the callback to answer through.
template <class T, class Call> DavResult<T> waitForDav(Call&& call) {
    return waitFor<DavResult<T>>([&](std::function<void(DavResult<T>)> done) { call(std::move(done)); });
}

} // namespace tardigo
