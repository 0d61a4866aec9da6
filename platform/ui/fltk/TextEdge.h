// Texts at the screen's edge: the program's code page 932 becomes the UTF-8
// that the toolkit draws, and positions inside a text are carried between
// the two encodings. Nothing here needs a display.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

class TextEdge {
public:
    // A control's text as drawn: the access-key markers removed ("&&" is one
    // '&'), and the byte offset of the underlined character in the result
    // (-1 when none). `prefix` false keeps every '&' (SS_NOPREFIX).
    struct Label {
        std::string text;  // UTF-8
        int underline = -1;
    };
    static Label MakeLabel(const std::string& cp932, bool prefix = true);

    // The UTF-8 byte offset of a code page 932 byte offset in `cp932`, and
    // back. An offset inside a character counts as the character's start.
    static size_t Utf8Offset(const std::string& cp932, size_t offset);
    static size_t Cp932Offset(const std::string& utf8, size_t offset);

    // The offsets of the character boundaries of a UTF-8 text (0 and the end
    // included).
    static std::vector<size_t> Boundaries(const std::string& utf8);

    // The save box's filter list in the toolkit's form ("name\tpattern" lines):
    // several patterns "a;b" become "{a,b}", "*.*" matches everything. The
    // toolkit's chooser shows "name (pattern)" itself, so a description that
    // ends with its own pattern in parentheses ("XML ファイル (*.xml)" for
    // *.xml; blanks, case and ',' for ';' aside) is given without it, and the
    // pattern shows once; the chooser reads the pattern from the text's first
    // parenthesis, so other parentheses of a description are given as
    // full-width ones, and a backslash (its escape character) doubled.
    static std::string FileFilter(const std::vector<std::pair<std::string, std::string>>& filters);
    static bool HasWildcards(const std::string& name);

    // Breaks a UTF-8 text into lines no wider than `maxWidth` as `width`
    // measures them: at its line feeds, and inside a line before the first
    // character that would pass the limit (a line keeps at least one
    // character). Blanks at a break stay on the line before it.
    static std::vector<std::string> Wrap(const std::string& utf8, double maxWidth,
                                         const std::function<double(const std::string&)>& width);
};

}  // namespace ui
