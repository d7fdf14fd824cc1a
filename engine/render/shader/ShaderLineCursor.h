#pragma once

// Reads the characters of one shader line: words, numbers and punctuation
// with the spaces between them.

#include <cstdint>

#include "engine/core/String.h"

namespace zav::shader {

// A piece of the text; not zero-terminated.
struct TextSpan {
    const char* data = nullptr;
    int length = 0;

    bool IsEmpty() const { return length == 0; }
    bool Equals(const char* text) const;  // case-sensitive
};

// The span for messages: printable ASCII, other bytes as '?', long ones cut.
String Quoted(const TextSpan& span);

class LineCursor {
public:
    LineCursor(const char* begin, const char* end, int line) : position_(begin), end_(end), line_(line) {}

    int Line() const { return line_; }
    // Skips spaces and tabs; true when nothing else is left.
    bool AtEnd();
    // The next character after spaces, or 0 at the end.
    char Peek();
    // Consumes `c` when it comes next (after spaces).
    bool Accept(char c);
    // Letters, digits, '_' and '.' (a mnemonic or version), after spaces.
    TextSpan ReadWord();
    // Letters only / digits only, from the current position.
    TextSpan ReadLetters();
    TextSpan ReadDigits();
    // Everything up to the next ',' or the end, without surrounding spaces.
    TextSpan ReadToComma();
    // The rest of the line, without surrounding spaces.
    TextSpan Rest();

private:
    void SkipSpaces();

    const char* position_;
    const char* end_;
    int line_;
};

}  // namespace zav::shader
