// A shown main window whose Main list holds a given number of rows, and the list operations that
// the editing benchmark and the growth test time on it, each with its untimed preparation.
#pragma once

#include "tests/player/playerfixtures.h"

#include "audiolib/audiolib.h"
#include "engine/enginesettings.h"
#include "platform/recordedusermessages.h"
#include "platform/usermessages.h"
#include "player/form1.h"
#include "player/playlist/finddialog.h"
#include "player/playlist/playlistrows.h"

#include <QApplication>
#include <QMouseEvent>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

namespace edittest {

using controls::TVirtualItem;

// Rows as a station's day log looks: varied names and durations, distinct paths in a few folders.
inline std::vector<TVirtualItem> dayLog(int n, const QString& folder)
{
    static const char* const kArtists[] = {"The Beatles", "Кино", "ABBA", "Queen", "Ария", "Nobody", "Zemfira"};
    std::vector<TVirtualItem> rows;
    rows.reserve(static_cast<std::size_t>(n));
    unsigned seed = 12345;
    for (int i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        const unsigned r = seed >> 8;
        const QString name = QString::fromUtf8(kArtists[r % 7]) + " - Song " + QString::number(r % 100000);
        const QString time = QStringLiteral("%1:%2").arg(1 + r % 9, 2, 10, QLatin1Char('0')).arg(r % 60, 2, 10, QLatin1Char('0'));
        rows.push_back(playertest::row(name, time, folder + "/" + QString::number(i % 50) + "/" + QString::number(i) + ".mp3"));
    }
    return rows;
}

// The window in a program folder of its own, with the notes marks and column sorting on. With
// playable set, every row names one real WAV file that sounds throughout, so that the transport
// commands play and a track stays on air (the decks cut silence: a silent file would be skipped
// at once, and every start would scan it on the window's thread).
class EditWindow {
public:
    explicit EditWindow(int rows, bool playable = false) : n(rows)
    {
        setenv("QUORVALEN_PROGRAM_DIR", dir.path().c_str(), 1);
        platform::setUserMessages(&messages);
        dir.write("system.ini", "[Device]\nMainDev=0\n");
        std::filesystem::create_directories(dir.path() + "/Txt");
        const QString music = QString::fromStdString(dir.path()) + "/music";
        original = dayLog(n, music);
        if (playable) {
            const std::string wav = dir.write("track.wav", playertest::soundWavFile(1, 8000, 8000 * 600));
            for (TVirtualItem& r : original)
                r.SubItems[player::kColPath] = QString::fromStdString(wav);
        } else {
            // Every 50th track has notes, written long ago as far as the folder shows.
            for (int i = 0; i < n; i += 50)
                dir.write("Txt/" + std::filesystem::path(player::NotesFileName(dir.path() + "/Txt/", original[static_cast<std::size_t>(i)].SubItems[player::kColPath].toStdString())).filename().string(), "notes");
        }
        const timespec longAgo[2] = {{1000000000, 0}, {1000000000, 0}};
        ::utimensat(AT_FDCWD, (dir.path() + "/Txt").c_str(), longAgo, 0);
        renameFrom = dir.path() + "/rename-a.wav";
        renameTo = dir.path() + "/rename-b.wav";
        dir.write("rename-a.wav", playertest::wavFile(1, 8000, 800));
        original[0].SubItems[player::kColPath] = QString::fromStdString(renameFrom);
        std::string m3u = "#EXTM3U\r\n";
        for (const TVirtualItem& r : original)
            m3u += "#EXTINF:215," + r.SubItems[player::kColName].toStdString() + "\r\n" + r.SubItems[player::kColPath].toStdString() + "\r\n";
        playlist = dir.write("append.m3u", m3u);

        audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0);
        form = std::make_unique<player::TForm1>();
        form->LaunchProgram = nullptr;  // no search server: only the lists are measured
        form->FormCreate();
        form->resize(900, 700);
        form->show();
        settle();
        form->Comment = true;
        form->AllowSort = true;
        reset();
    }
    ~EditWindow()
    {
        form.reset();
        audiolib::freeDevice();
        platform::setUserMessages(nullptr);
        engine::setEngineSettings(engine::EngineSettings{});
        unsetenv("QUORVALEN_PROGRAM_DIR");
    }

    controls::TVqListView& list() const { return *form->LVMaster; }
    static void settle()
    {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
    // The event loop runs, as the operator's window does, until the playlist reads have landed;
    // heldMs is then the longest the loop was held, by the command given at start or by a turn
    // of the loop (the one that lands the rows).
    void landReads(std::chrono::steady_clock::time_point start)
    {
        using clock = std::chrono::steady_clock;
        heldMs = std::chrono::duration<double, std::milli>(clock::now() - start).count();
        while (form->Reads->busy()) {
            const clock::time_point t0 = clock::now();
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
            heldMs = std::max(heldMs, std::chrono::duration<double, std::milli>(clock::now() - t0).count());
        }
    }
    double heldMs = -1;  // set by a command that runs the event loop
    // The n original rows, row n / 3 playing, nothing selected, the Main page current.
    void reset()
    {
        form->pcPlaylist->setCurrentWidget(form->_master);
        list().selectRows({});
        list().ClearRows();
        // Into room as a playlist read leaves it, a quarter beyond its rows.
        controls::ReserveRows(list().Rows, original.size());
        list().Rows.assign(original.begin(), original.end());
        list().HLIndex = n / 3;
        list().syncView();
        form->RenumberList();
        std::error_code ec;
        if (std::filesystem::exists(renameTo, ec))
            std::filesystem::rename(renameTo, renameFrom, ec);
        settle();
    }
    void selectRange(int first, int last)
    {
        std::vector<int> rows;
        for (int i = first; i <= last && i < n; ++i)
            rows.push_back(i);
        list().selectRows(rows);
    }
    void mouse(QEvent::Type type, int row, Qt::MouseButtons buttons)
    {
        controls::TVqListView& view = list();
        const QPointF at = view.visualRect(view.model()->index(row, 2)).center();
        QMouseEvent e(type, at, view.viewport()->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &e);
    }

    const int n;
    playertest::TempDir dir;
    platform::RecordedUserMessages messages;
    std::vector<TVirtualItem> original;
    std::string renameFrom;
    std::string renameTo;
    std::string playlist;
    std::unique_ptr<player::TForm1> form;
};

struct Operation {
    const char* name;
    std::function<void(EditWindow&)> prepare;  // untimed
    std::function<void(EditWindow&)> run;      // timed, with the repaint that follows it
};

// Every list command of the playlist editor, on the whole list where it can take one.
inline const std::vector<Operation>& operations()
{
    static const std::vector<Operation> ops = {
        {"select_all", [](EditWindow& w) { w.reset(); }, [](EditWindow& w) { w.form->N37Click(); }},
        {"copy_all", [](EditWindow& w) { w.reset(); w.form->N37Click(); }, [](EditWindow& w) { w.form->aEditCopyExecute(); }},
        {"paste_all",
         [](EditWindow& w) {
             w.reset();
             w.form->N37Click();
             w.form->aEditCopyExecute();
             w.list().selectRows({w.n / 2});
         },
         [](EditWindow& w) { w.form->aEditPasteExecute(); }},
        {"cut_half", [](EditWindow& w) { w.reset(); w.selectRange(0, w.n / 2 - 1); }, [](EditWindow& w) { w.form->aEditCutExecute(); }},
        {"delete_every_other_row",
         [](EditWindow& w) {
             w.reset();
             std::vector<int> rows;
             for (int i = 0; i < w.n; i += 2)
                 rows.push_back(i);
             w.list().selectRows(rows);
         },
         [](EditWindow& w) { w.form->aEditDelExecute(); }},
        {"delete_one_row", [](EditWindow& w) { w.reset(); w.list().selectRows({w.n / 2}); }, [](EditWindow& w) { w.form->aEditDelExecute(); }},
        {"delete_all", [](EditWindow& w) { w.reset(); }, [](EditWindow& w) { w.form->aEditDelAllExecute(); }},
        {"insert_one_file",
         [](EditWindow& w) {
             w.reset();
             w.form->PendingInsertIndex = w.n / 2;
         },
         [](EditWindow& w) {
             // A file dropped on a row from the folder tree.
             w.form->AddFile(QString::fromStdString(w.renameFrom));
             w.form->RenumberList();
         }},
        {"undo_delete_all",
         [](EditWindow& w) {
             w.reset();
             w.form->N37Click();
             w.form->aEditDelExecute();
         },
         [](EditWindow& w) { w.form->aEditUndoExecute(); }},
        {"find_last_row",
         [](EditWindow& w) {
             w.reset();
             w.form->FindDialog1->Tag = -1;
             w.form->FindDialog1->setFindText(QString::number(w.n - 1) + ".mp3");
         },
         [](EditWindow& w) { w.form->FindNext(); }},
        {"sort_by_name", [](EditWindow& w) { w.reset(); w.form->PlaylistSortDirection = 1; }, [](EditWindow& w) { w.form->LVMasterColumnClick(2); }},
        {"sort_by_path", [](EditWindow& w) { w.reset(); w.form->PlaylistSortDirection = 1; }, [](EditWindow& w) { w.form->LVMasterColumnClick(4); }},
        {"shuffle", [](EditWindow& w) { w.reset(); }, [](EditWindow& w) { w.form->Randomize1Click(); }},
        {"renumber", [](EditWindow& w) { w.reset(); }, [](EditWindow& w) { w.form->RenumberList(); }},
        {"append_playlist",
         [](EditWindow& w) {
             w.reset();
             w.messages.pushText(w.playlist);
         },
         [](EditWindow& w) {
             const auto start = std::chrono::steady_clock::now();
             w.form->N58Click();
             w.landReads(start);
         }},
        {"insert_playlist_row",
         [](EditWindow& w) {
             w.reset();
             w.list().selectRows({w.n / 2});
             w.messages.pushText(w.playlist);
         },
         [](EditWindow& w) { w.form->N47Click(); }},
        {"open_playlist",
         [](EditWindow& w) {
             w.reset();
             w.messages.pushText(w.playlist);
         },
         [](EditWindow& w) {
             const auto start = std::chrono::steady_clock::now();
             w.form->aOpenExecute();
             w.landReads(start);
         }},
        {"save_playlist",
         [](EditWindow& w) {
             w.reset();
             w.form->ListNames[0] = QString::fromStdString(w.dir.path() + "/saved.m3u");
         },
         [](EditWindow& w) { w.form->aSaveExecute(); }},
        {"temp_to_main",
         [](EditWindow& w) {
             w.reset();
             w.form->LVSlave->Rows = w.original;
             w.form->LVSlave->syncView();
         },
         [](EditWindow& w) { w.form->mSlave2MasterClick(); }},
        {"drop_search_results",
         [](EditWindow& w) {
             w.reset();
             controls::TVqListView& found = *w.form->LVFindResult;
             found.selectRows({});
             found.ClearRows();
             for (int i = 0; i < std::min(w.n, 15000); ++i) {
                 TVirtualItem r;
                 r.Caption = "Artist " + QString::number(i);
                 r.SubItems[0] = "Title";
                 r.SubItems[1] = "03:00";
                 r.SubItems[2] = "/found/" + QString::number(i) + ".mp3";
                 found.Rows.push_back(r);
             }
             found.syncView();
             found.selectRows([&] {
                 std::vector<int> all(found.Rows.size());
                 for (std::size_t i = 0; i < all.size(); ++i)
                     all[i] = static_cast<int>(i);
                 return all;
             }());
         },
         [](EditWindow& w) { w.form->LVMasterDragDrop(w.form->LVFindResult, w.n / 2); }},
        {"play_next_mark_all_selected", [](EditWindow& w) { w.reset(); w.form->N37Click(); }, [](EditWindow& w) { w.form->N55Click(); }},
        {"rename_all_selected",
         [](EditWindow& w) {
             w.reset();
             w.form->N37Click();
             w.messages.pushText(w.renameTo);
         },
         [](EditWindow& w) { w.form->N53Click(); }},
        {"drag_one_row",
         [](EditWindow& w) {
             w.reset();
             w.list().scrollToTop();
             w.list().selectRows({2});
             w.mouse(QEvent::MouseButtonPress, 2, Qt::LeftButton);
         },
         [](EditWindow& w) {
             w.mouse(QEvent::MouseMove, 5, Qt::LeftButton);
             w.mouse(QEvent::MouseButtonRelease, 5, Qt::NoButton);
         }},
        {"rename_one_row",
         [](EditWindow& w) {
             w.reset();
             w.list().selectRows({0});
             w.messages.pushText(w.renameTo);
         },
         [](EditWindow& w) { w.form->N53Click(); }},
        {"drag_ten_rows",
         [](EditWindow& w) {
             // Within the view, so that no automatic scroll step (with its pause) comes in.
             w.reset();
             w.list().scrollToTop();
             w.selectRange(2, 11);
             w.mouse(QEvent::MouseButtonPress, 2, Qt::LeftButton);
         },
         [](EditWindow& w) {
             w.mouse(QEvent::MouseMove, 5, Qt::LeftButton);
             w.mouse(QEvent::MouseButtonRelease, 5, Qt::NoButton);
         }},
    };
    return ops;
}

// The shortest of repeats runs of op, in seconds; the repaint after it is included.
inline double timeOperation(EditWindow& w, const Operation& op, int repeats)
{
    double best = 1e9;
    for (int k = 0; k < repeats; ++k) {
        op.prepare(w);
        const auto t0 = std::chrono::steady_clock::now();
        op.run(w);
        EditWindow::settle();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

}  // namespace edittest
