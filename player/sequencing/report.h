// The daily play report: one text file a day in the folder "Report" of the program folder, one
// line per started track.
//
// The window owns one PlayReport; UpdateNowPlaying calls write() (when the profile's Report is on)
// and adds the returned line to ListBox2; the first main-timer tick loads todayLines() into it.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <functional>
#include <string>
#include <vector>

namespace player {

class PlayReport {
public:
    using Clock = std::function<QDateTime()>;

    // programFolder ends with "/" or not; clock gives the local time (tests inject theirs).
    explicit PlayReport(std::string programFolder, Clock clock = &QDateTime::currentDateTime);

    // "<folder>Report/dd-mm-yyyy.txt".
    std::string fileName(const QDate& date) const;
    // "hh:mm:ss    name".
    static std::string line(const QTime& time, const std::string& name);

    // Appends the line for name to today's file (creating it) and returns the line. A file that
    // cannot be written is skipped silently: the report never stops playback. A line that does not
    // fit (a full disk) leaves the file as it was, and no file where there was none.
    std::string write(const std::string& name);
    // The lines of today's file, empty when it does not exist.
    std::vector<std::string> todayLines() const;
    // The folder of the report files, "<folder>Report".
    std::string folder() const;
    // Creates the folder when it is missing (the window does so at start, so that the day's report
    // is written); false when it cannot be made.
    bool ensureFolder() const;

private:
    static void appendLine(const std::string& path, const std::string& bytes);

    std::string m_folder;
    Clock m_clock;
};

}  // namespace player
