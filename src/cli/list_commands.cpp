#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"
#include "list_update.h"
#include "outline_text.h"
#include "platform/untrusted_text.h"

#include "archive/list_file.h"
#include "exchange/value_json.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "model/value_expansion.h"
#include "platform/new_item.h"
#include "quick_add/quick_add_text.h"

#include <QFileInfo>

namespace tardigo::cli {

namespace {

/// Reads a list for a command; prints the error and answers nothing when it cannot.
NodePtr openList(const QString& path, bool* changed = nullptr) {
    const ListLoad load = readListFile(path);
    if (!load.ok()) {
        fail(load.error);
        return nullptr;
    }
    if (changed)
        *changed = load.changed;
    return load.root;
}

/// The node at a slash-separated path of child indexes, e.g. "0/2".
NodePtr nodeAtPath(const NodePtr& root, const QString& path, QString* error) {
    NodePtr node = root;
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int index = part.toInt(&ok);
        const ArrayPtr children = childrenOf(*node);
        if (!ok || !children || index < 0 || index >= children->size() || !childAt(*children, index)) {
            *error = QStringLiteral("there is no item at %1 (each part is a child index, counted from 0).")
                         .arg(path);
            return nullptr;
        }
        node = childAt(*children, index);
    }
    return node;
}

} // namespace

int commandNew(const QStringList& args) {
    const auto parsed =
        argsFor(args, 1, QStringLiteral("new FILE [--force]"), {}, {QStringLiteral("--force")});
    if (!parsed)
        return Usage;
    return writeNewList(parsed->positional[0], newListRoot(), {}, *parsed);
}

int commandAdd(const QStringList& args) {
    const QString parse = QStringLiteral("--parse");
    const bool parses = args.contains(parse);
    const auto parsed = argsFor(args, parses ? 1 : 2,
                                parses ? QStringLiteral("add FILE --parse TEXT [--parent PATH]")
                                       : QStringLiteral("add FILE NAME [--parent PATH]"),
                                {QStringLiteral("--parent"), parse});
    if (!parsed)
        return Usage;
    std::optional<QuickAddItem> described;
    if (parses) {
        described = readQuickAddText(parsed->options.value(parse));
        if (!described)
            return fail(
                QStringLiteral("“%1” names no item: give it a name besides its category and due date.")
                    .arg(terminalSafe(parsed->options.value(parse))));
    } else {
        described = QuickAddItem{parsed->positional[1], QString(), std::nullopt};
    }
    const QString parentPath = parsed->options.value(QStringLiteral("--parent"));
    return updateList(parsed->positional[0], [&](const NodePtr& root) {
        QString error;
        const NodePtr parent = nodeAtPath(root, parentPath, &error);
        if (!parent)
            return error;
        // Deeper than this, the list could no longer be saved as one that opens again.
        if (const qsizetype depth = parentPath.split(u'/', Qt::SkipEmptyParts).size() + 1;
            depth > kMaxItemDepth)
            return QStringLiteral("an item under %1 would lie %2 levels deep, and a list holds items at most "
                                  "%3 levels deep.")
                .arg(parentPath)
                .arg(depth)
                .arg(kMaxItemDepth);
        NodePtr item = newToDoItem();
        item->set(key::name, described->name);
        if (!described->category.isEmpty())
            item->set(key::category, described->category);
        if (described->due)
            item->set(key::due, storedDateString(*described->due));
        if (!childrenOf(*parent))
            parent->set(key::children, Array::create());
        childrenOf(*parent)->items.push_back(item);
        return QString();
    });
}

int commandShow(const QStringList& args) {
    const auto parsed = argsFor(args, 1, QStringLiteral("show FILE"));
    if (!parsed)
        return Usage;
    const NodePtr root = openList(parsed->positional[0]);
    if (!root)
        return Failure;
    out() << outlineText(*root);
    return Success;
}

int commandDump(const QStringList& args) {
    const auto parsed = argsFor(args, 1, QStringLiteral("dump FILE"));
    if (!parsed)
        return Usage;
    bool changed = false;
    const NodePtr root = openList(parsed->positional[0], &changed);
    if (!root)
        return Failure;
    if (const QString refusal = ValueExpansion::of(root).refusal(); !refusal.isEmpty())
        return fail(QStringLiteral("“%1” is not printed: %2.").arg(parsed->positional[0], refusal));
    if (const int printed = printStreamed([&](QIODevice& device) { return valueToJson(root, true, device); });
        printed != Success)
        return printed;
    if (changed)
        err() << "changed on load" << Qt::endl;
    return Success;
}

int commandCheck(const QStringList& args) {
    const auto parsed = argsFor(args, 1, QStringLiteral("check FILE"));
    if (!parsed)
        return Usage;
    const ListLoad load = readListFile(parsed->positional[0]);
    if (load.ok())
        return Success;
    if (load.isLegacy) {
        err() << "tardigo-cli: " << load.error << Qt::endl;
        return LegacyList;
    }
    return fail(load.error);
}

} // namespace tardigo::cli
