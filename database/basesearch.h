// The search over the track base: every filled field must occur, in either case, in its attribute.
#pragma once

#include "database/recordtext.h"
#include "database/trackbase.h"

#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace database {

class SearchMatcher {
public:
    // texts: Edit1..Edit8 (Title, Artist, Album, Year, Genre, Comment, Time, FileName); empty = any.
    explicit SearchMatcher(const std::array<QString, kFieldCount>& texts);

    bool matches(const TTrackRecord& r) const;
    bool anyActive() const;
    // What each active field looks for in its folded column (SearchColumns::foldedText): the
    // same answer as matches() gives the record. False when some field can match nothing.
    struct ColumnQuery {
        Field field;
        std::string_view bytes;
    };
    bool columnQueries(std::vector<ColumnQuery>& out) const;

private:
    struct Query {
        bool active = false;
        bool impossible = false;  // holds characters the field's encoding cannot hold
        std::string bytes;        // upper case, in the field's encoding
        QString upper;            // upper case, for the file name's non-ASCII path
    };
    bool fieldMatches(const TTrackRecord& r, Field f, const Query& q) const;

    std::array<Query, kFieldCount> m_queries;
};

// Called while searching, at most every pumpPeriod, with the percentage done; lets the message loop run.
using SearchPump = std::function<void(int percent)>;

// List := the records of List2 that match, in base order; Indexes := their List2 positions. Runs
// over the base's folded columns: one field is scanned from end to end, the others are asked
// only of the records that matched it.
void runSearch(TrackBase& base, const SearchMatcher& matcher, const SearchPump& pump = {},
               std::chrono::milliseconds pumpPeriod = std::chrono::milliseconds(20));

}  // namespace database
