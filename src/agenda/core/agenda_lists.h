#pragma once

#include "model/value.h"
#include "platform/file_identity.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <optional>
#include <vector>

namespace tardigo {

/// The lists the agenda shows, each as it stands now: the tree of the list's open window, else the
/// file as last read, read again whenever another program (the command line, a sync) replaces it.
/// Lists are named by their file paths, whatever the spelling.
class AgendaLists : public QObject {
    Q_OBJECT
public:
    struct List {
        QString path; // the file, absolute and canonical where it exists
        NodePtr root; // null: the file could not be read
        bool open = false;
        std::optional<FileIdentity> read; // the version of the file read, for lists without a window
    };

    explicit AgendaLists(QObject* parent = nullptr);

    /// The watched lists, in order; those not held yet are read now, those no longer named leave
    /// unless a window shows them.
    void setFiles(const QStringList& paths);
    /// A list's file read or saved elsewhere (the minder's pass, an edit from the agenda), taken
    /// instead of reading it again when the file is newer than the version held; ignored for a list
    /// an open window shows and for one the agenda does not show.
    void adoptRead(const QString& path, const NodePtr& root);
    /// The tree of the list's open window: it stands for the list from now on.
    void setOpen(const QString& path, const NodePtr& root);
    /// The list's window closed: the list is its file again.
    void closeOpen(const QString& path);
    /// The tree of an open list changed.
    void openListChanged(const QString& path);

    const std::vector<List>& lists() const { return _lists; }
    const List* list(const QString& path) const;
    /// The spelling of a path the lists are named by.
    static QString keyOf(const QString& path);

signals:
    /// The list's items changed, or it was read again.
    void listChanged(const QString& path);
    /// Lists came or went.
    void listsChanged();

private:
    List* find(const QString& key);
    /// Reads the file again when it is not the version held; true when it was read.
    bool refresh(List& list, bool force);
    void watch(const QString& key);
    void filesMayHaveChanged();

    std::vector<List> _lists;
    QFileSystemWatcher _watcher;
    QSet<QString> _pending; // files and folders that signalled since the last check
    QTimer _settle;
};

} // namespace tardigo
