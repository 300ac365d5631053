// A component linked to a folder tree in tests: records what the tree tells it.
#pragma once

#include <QObject>
#include <QString>

#include <vector>

class LinkedView : public QObject {
    Q_OBJECT
public:
    std::vector<QString> directories;
    int fileSystemChanges = 0;
    bool refreshing = false;

    Q_INVOKABLE void SetDirectory(const QString& path) { directories.push_back(path); }
    Q_INVOKABLE bool IsRefreshing() { return refreshing; }
    Q_INVOKABLE void ChangeFileSystem(QObject*, bool) { ++fileSystemChanges; }
};
