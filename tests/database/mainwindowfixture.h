// The database window in process and offscreen, in a program folder of its own per test, with
// every box and dialog answered from a script.
#pragma once

#include "database/abortflag.h"
#include "database/basemainwindow.h"
#include "database/dfsfile.h"
#include "database/strconst.h"
#include "database/tracklistmodel.h"
#include "platform/recordedusermessages.h"
#include "tests/database/testtracks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace dbtest {

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static QTemporaryDir shared;
        setenv("QUORVALEN_PREFIX", ("dbtest" + std::to_string(QCoreApplication::applicationPid())).c_str(), 1);
        setenv("QUORVALEN_REGISTRY_FILE", shared.filePath("registry").toUtf8().constData(), 1);
        setenv("QUORVALEN_NOSOUND", "1", 1);
    }
    void SetUp() override
    {
        setenv("QUORVALEN_PROGRAM_DIR", dir.path().toUtf8().constData(), 1);
        platform::setUserMessages(&messages);
        database::AbortFlag = false;
    }
    void TearDown() override
    {
        platform::setUserMessages(nullptr);
        database::resetStrings();
    }
    std::string path(const std::string& rel) const { return dir.filePath(QString::fromStdString(rel)).toStdString(); }
    std::string baseIni() const { return path("Base.ini"); }

    // A base file of n records with durations of 60 s.
    std::string makeBase(const std::string& name, int n)
    {
        std::vector<TrackFields> tracks;
        for (int i = 0; i < n; ++i)
            tracks.push_back({.title = "T" + std::to_string(i), .artist = "A" + std::to_string(n - i),
                              .fileName = "/m/" + std::to_string(i) + ".mp3", .duration = 60000});
        return makeBaseOf(name, tracks);
    }
    std::string makeBaseOf(const std::string& name, const std::vector<TrackFields>& tracks)
    {
        std::vector<std::unique_ptr<media::TTrackRecord>> rows;
        std::vector<media::TTrackRecord*> ptrs;
        for (const TrackFields& t : tracks) {
            rows.push_back(makeTrack(t));
            ptrs.push_back(rows.back().get());
        }
        database::writeDfsFile(path(name), ptrs, nullptr);
        return path(name);
    }
    static bool waitFor(const std::function<bool()>& done, int ms = 5000)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    std::vector<platform::RecordedUserMessages::Shown> boxes() const
    {
        std::vector<platform::RecordedUserMessages::Shown> out;
        for (const auto& s : messages.shown())
            if (s.kind == "messageBox")
                out.push_back(s);
        return out;
    }
    std::string lastBox() const
    {
        const auto b = boxes();
        return b.empty() ? std::string() : b.back().text;
    }
    static void selectRows(database::TBase_main_window& w, std::initializer_list<int> rows)
    {
        QItemSelectionModel* sel = w.ListView1->selectionModel();
        sel->clearSelection();
        for (const int r : rows)
            sel->select(w.model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // The file names of the shown rows, in view order.
    static std::vector<std::string> shownFiles(const database::TBase_main_window& w)
    {
        std::vector<std::string> out;
        for (const media::TTrackRecord* r : w.Base.List)
            out.push_back(r->FileName.str());
        return out;
    }
    static std::vector<std::string> baseFiles(const database::TBase_main_window& w)
    {
        std::vector<std::string> out;
        for (const media::TTrackRecord* r : w.Base.List2)
            out.push_back(r->FileName.str());
        return out;
    }

    QTemporaryDir dir;
    platform::RecordedUserMessages messages;
};

}  // namespace dbtest
