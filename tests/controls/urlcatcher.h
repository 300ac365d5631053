// Receives the addresses the desktop is asked to open, in place of a browser.
#pragma once

#include <QObject>
#include <QUrl>

#include <vector>

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};
