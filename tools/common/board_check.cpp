#include "tools/common/board_check.h"

#include <array>
#include <filesystem>

#include "tools/common/text_joining.h"

namespace {

// Squares named in one rule break before the rest is only counted.
constexpr std::size_t listedSquares = 8;

std::string squareText(Square sq) {
    return joined("(", sq.row, ", ", sq.col, ")");
}

const char* sideName(Side side) {
    switch (side) {
        case Side::top:
            return "top";
        case Side::right:
            return "right";
        case Side::bottom:
            return "bottom";
        case Side::left:
            return "left";
    }
    return "?";
}

PieceCode codeAt(const ReadBoard& board, Square sq) {
    return board.slots[squareSlot[sq.row][sq.col]];
}

// "(1, 2), (3, 4) and (5, 6)", the first few named and the others counted.
std::string squareList(const std::vector<Square>& squares) {
    std::string text;
    const std::size_t named = squares.size() > listedSquares ? listedSquares - 1 : squares.size();
    for (std::size_t i = 0; i < named; ++i) {
        if (i > 0) text += (i + 1 == squares.size()) ? " and " : ", ";
        text += squareText(squares[i]);
    }
    if (named < squares.size()) text += joined(" and ", squares.size() - named, " more");
    return text;
}

std::string colourList(PieceCode code) {
    return joined("top ", fileColour(topOf(code)), ", right ", fileColour(rightOf(code)),
                  ", bottom ", fileColour(bottomOf(code)), ", left ", fileColour(leftOf(code)));
}

void countEdges(const ReadBoard& board, BoardCheck& check) {
    for (const PieceCode code : board.slots)
        check.filled += code != emptyCode;
    forEachJoinedEdge(board.slots, [&check](const JoinedEdge& edge) {
        ++check.joinedEdges;
        if (edge.firstColour != edge.secondColour) check.mismatches.push_back(edge);
    });
}

void findRimFaults(const ReadBoard& board, BoardCheck& check) {
    for (int r = 0; r < boardSize; ++r)
        for (int c = 0; c < boardSize; ++c) {
            const PieceCode here = codeAt(board, {r, c});
            if (here == emptyCode) continue;
            for (const Side side : {Side::top, Side::right, Side::bottom, Side::left})
                if (facesOutline({r, c}, side) && colourOn(here, side) != borderColour)
                    check.rimFaults.push_back({{r, c}, side, colourOn(here, side)});
        }
}

void checkPieces(const ReadBoard& board, const PieceTables& pieces, BoardCheck& check) {
    std::array<std::vector<Square>, 256> places;
    std::vector<Square> wrongColours;
    std::string firstWrong;
    std::vector<Square> empty;
    for (int r = 0; r < boardSize; ++r)
        for (int c = 0; c < boardSize; ++c) {
            const PieceCode code = codeAt(board, {r, c});
            if (code == emptyCode) {
                empty.push_back({r, c});
                continue;
            }
            const int piece = pieceNumberOf(code);
            places[piece].push_back({r, c});
            // By the solver's rule: the lastInList bit a code had in its list set aside.
            if (!showsItsColours(code, pieces)) {
                const PieceCode expected = rotate(rotationOf(code), pieces.codes[piece]);
                if (wrongColours.empty())
                    firstWrong = joined("; the first, piece ", piece + 1, " in rotation ",
                                        rotationOf(code), ", shows ", colourList(code),
                                        " where the piece file gives ", colourList(expected));
                wrongColours.push_back({r, c});
            }
        }
    if (!wrongColours.empty())
        check.ruleBreaks.push_back(joined(
            wrongColours.size(), wrongColours.size() == 1 ? " square shows" : " squares show",
            " other colours than the piece file gives its piece (", squareList(wrongColours), ")",
            firstWrong));
    for (int piece = 0; piece < 256; ++piece)
        if (places[piece].size() > 1)
            check.ruleBreaks.push_back(joined("piece ", piece + 1, " stands ", places[piece].size(),
                                              " times: on ", squareList(places[piece])));

    const PieceCode onHint = codeAt(board, hintSquare);
    const std::string hintName = joined("the hint piece ", hintPiece + 1);
    if (onHint != emptyCode && !isHintInPlace(onHint))
        check.ruleBreaks.push_back(joined(
            "the hint square ", squareText(hintSquare), " holds piece ", pieceNumberOf(onHint) + 1,
            " in rotation ", rotationOf(onHint), ", not ", hintName, " in rotation 2"));
    for (const Square sq : places[hintPiece])
        if (sq != hintSquare)
            check.ruleBreaks.push_back(
                joined(hintName, " stands on ", squareText(sq), ", not on the hint square"));

    if (board.format == BoardFormat::record && !empty.empty())
        check.ruleBreaks.push_back(joined("a record board is full, but ", empty.size(),
                                          empty.size() == 1 ? " square is" : " squares are",
                                          " empty: ", squareList(empty)));
    if (board.format == BoardFormat::grid && onHint == emptyCode)
        check.notes.push_back(joined("the hint square ", squareText(hintSquare),
                                     " is empty; the solver places ", hintName, " there"));
}

void checkRim(BoardCheck& check) {
    if (check.rimFaults.empty()) return;
    std::vector<Square> squares;
    for (const RimFault& fault : check.rimFaults)
        squares.push_back(fault.square);
    const RimFault& first = check.rimFaults.front();
    check.ruleBreaks.push_back(
        joined(check.rimFaults.size(), check.rimFaults.size() == 1 ? " edge faces" : " edges face",
               " the outline with another colour than the border 0 (", squareList(squares),
               "); the first is ", sideName(first.side), " ", fileColour(first.colour), " on ",
               squareText(first.square)));
}

void checkNameScore(const ReadBoard& board, const std::string& boardPath, BoardCheck& check) {
    if (board.format != BoardFormat::record) return;
    const std::optional<RecordBoardFileName> name =
        parseRecordBoardFileName(std::filesystem::path(boardPath).filename().string());
    if (!name) return;
    check.nameScore = name->score;
    if (!check.full())
        check.nameFault =
            joined("the file name says score ", *check.nameScore, ", but the board is not full");
    else if (*check.nameScore != check.score())
        check.nameFault = joined("the file name says score ", *check.nameScore,
                                 ", but the board scores ", check.score());
    if (!check.nameFault.empty()) check.ruleBreaks.push_back(check.nameFault);
}

}  // namespace

int fileColour(int programColour) {
    for (int file = 0; file < colourCount; ++file)
        if (colourMap[file] == programColour) return file;
    return programColour;
}

BoardCheck checkBoard(const ReadBoard& board, const PieceTables& pieces,
                      const std::string& boardPath) {
    BoardCheck check;
    countEdges(board, check);
    findRimFaults(board, check);
    checkPieces(board, pieces, check);
    checkRim(check);
    checkNameScore(board, boardPath, check);
    return check;
}

std::string reportText(const std::string& boardPath, const ReadBoard& board,
                       const BoardCheck& check) {
    std::string text =
        joined(boardPath, ": ", board.format == BoardFormat::record ? "record board" : "board file",
               ", ", check.filled, " of 256 squares filled\n");
    const std::size_t mismatched = check.mismatches.size();
    if (check.full())
        text += joined("score ", check.score(), ": ", mismatched, " of the ", innerEdges,
                       " inner edges mismatched\n");
    else
        text += joined("not a full board, so no score: ", mismatched, " of the ", check.joinedEdges,
                       " inner edges between filled squares mismatched\n");
    for (const Mismatch& m : check.mismatches)
        text += joined("  ", squareText(m.first), " ", m.across ? "right " : "bottom ",
                       fileColour(m.firstColour), " against ", squareText(m.second), " ",
                       m.across ? "left " : "top ", fileColour(m.secondColour), "\n");
    for (const std::string& note : check.notes)
        text += joined("note: ", note, "\n");
    if (check.nameScore && check.full() && *check.nameScore == check.score())
        text += joined("the file name's score ", *check.nameScore, " agrees\n");
    if (check.ruleBreaks.empty()) return text + "valid board\n";
    for (const std::string& rule : check.ruleBreaks)
        text += joined("rule broken: ", rule, "\n");
    return text + joined("invalid board: ", check.ruleBreaks.size(),
                         check.ruleBreaks.size() == 1 ? " rule broken\n" : " rules broken\n");
}
