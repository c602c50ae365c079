#include "tools/common/board_picture.h"

#include <sys/stat.h>

#include <filesystem>

#include "base/printable_text.h"
#include "puzzle/piece_file.h"
#include "tools/common/board_check.h"
#include "tools/common/board_reading.h"
#include "tools/common/directory_reading.h"
#include "tools/common/svg_drawing.h"
#include "tools/common/text_joining.h"

namespace {

bool isRegularFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

std::string findPieceFile(const std::string& boardPath,
                          const std::vector<std::string>& directories) {
    namespace fs = std::filesystem;
    std::vector<std::string> places{fs::path(boardPath).parent_path().string()};
    const std::string parent = sharedParent(directories);
    if (!parent.empty()) {
        places.push_back(parent);
        places.push_back(fs::path(parent).parent_path().string());
    }
    places.emplace_back(".");
    for (const std::string& place : places) {
        const std::string path = pathIn(place.empty() ? "." : place, pieceFileName);
        if (isRegularFile(path)) return path;
    }
    return "";
}

BoardPicture bestBoardPicture(const std::vector<RecordBoard>& boards, const std::string& pieceFile,
                              const std::vector<std::string>& directories) {
    BoardPicture picture;
    if (boards.empty()) return picture;
    picture.pieceFile =
        pieceFile.empty() ? findPieceFile(boards.front().path, directories) : pieceFile;
    if (picture.pieceFile.empty()) {
        picture.notes.push_back(joined("No piece file ", pieceFileName,
                                       " was found beside the boards, in the directories' parent "
                                       "or in the current directory, so the best board is not "
                                       "drawn; name one with --pieces FILE."));
        return picture;
    }
    const Reading<PieceTables> pieces = readPieces(picture.pieceFile);
    if (!pieces.value) {
        picture.notes.push_back(
            joined("The piece file ", picture.pieceFile, " cannot be used: ", pieces.problem));
        return picture;
    }
    std::size_t passedOver = 0;
    const auto passOver = [&](const std::string& sentence) {
        if (++passedOver <= namedPassedOverBoards) picture.passedOver.push_back(sentence);
    };
    for (const RecordBoard& candidate : boards) {
        const Reading<ReadBoard> board = readBoardFile(candidate.path, *pieces.value);
        if (!board.value) {
            passOver(joined(candidate.path, " cannot be read: ", board.problem));
            continue;
        }
        const BoardCheck check = checkBoard(*board.value, *pieces.value, candidate.path);
        if (!check.nameFault.empty()) {
            passOver(joined(candidate.path, " is not what its name says: ", check.nameFault));
            continue;
        }
        picture.boardPath = candidate.path;
        picture.svg = svgElement(candidate.path, *board.value, check);
        picture.report = reportText(candidate.path, *board.value, check);
        break;
    }
    if (passedOver > namedPassedOverBoards) {
        const std::size_t more = passedOver - namedPassedOverBoards;
        picture.passedOver.push_back(
            joined("and ", more, more == 1 ? " more record board" : " more record boards",
                   " cannot be read or ", more == 1 ? "is" : "are", " not what ",
                   more == 1 ? "its name says" : "their names say"));
    }
    return picture;
}

std::string passedOverText(const BoardPicture& picture) {
    std::string text;
    for (const std::string& sentence : picture.passedOver)
        text += printableText(sentence) + "\n";
    return text;
}
