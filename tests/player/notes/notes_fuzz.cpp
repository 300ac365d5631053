// Fuzz target: any bytes as a notes file, and as the paths of two tracks. The text read is written
// back and reads again the same; a track's notes file lies in the notes folder under a name of its
// own, which no other track shares.
#include "tests/common/fuzzinput.h"

#include "player/notes/notesfiles.h"
#include "player/playlist/playlistrows.h"

#include <QString>

#include <cstdlib>

namespace {

// A leading byte-order mark is no text: it goes when a file is read.
QString withoutMark(QString text)
{
    while (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

void checkNotesName(const std::string& folder, const std::string& name)
{
    if (name.compare(0, folder.size(), folder) != 0)
        std::abort();
    const std::string file = name.substr(folder.size());
    if (file.empty() || file.size() > 255 || file.find('/') != std::string::npos)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::InputReader in(data, size);
    const std::string first = "/" + in.text(600);
    const std::string second = "/" + in.text(600);
    const std::string folder = "/notes/";
    const std::string a = player::NotesFileNameOfCanonical(folder, first);
    const std::string b = player::NotesFileNameOfCanonical(folder, second);
    checkNotesName(folder, a);
    checkNotesName(folder, b);
    if ((a == b) != (first == second))
        std::abort();
    checkNotesName(folder, player::OldNotesFileNameOfCanonical(folder, first));

    const std::string_view rest = in.rest();
    const std::string path = fuzzing::inputFile("notes.txt", rest.data(), rest.size());
    const std::optional<QString> text = player::ReadNotesFile(path);
    if (!text)
        std::abort();
    const std::string again = fuzzing::scratchFolder() + "/again.txt";
    if (!player::WriteNotesFile(again, *text))
        std::abort();
    const std::optional<QString> back = player::ReadNotesFile(again);
    if (!back || withoutMark(*back) != withoutMark(*text))
        std::abort();
    return 0;
}
