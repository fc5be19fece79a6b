#include "app_rules/background_locator.h"

#include <QThread>

#include <memory>

namespace tardigo {

void locateTodoItemsInBackground(const TodoLocator& locator, QObject* context,
                                 std::function<void(const std::optional<QStringList>&)> done) {
    auto answer = std::make_shared<std::optional<QStringList>>();
    QThread* thread = QThread::create([locator, answer] { *answer = locator.locateTodoItems(); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QObject::connect(thread, &QThread::finished, context,
                     [answer, done = std::move(done)] { done(*answer); });
    thread->start(QThread::LowPriority);
}

} // namespace tardigo
