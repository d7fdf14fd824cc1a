#include "engine/render/shader/ShaderLineCursor.h"

#include <cstring>

namespace zav::shader {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

TextSpan Trimmed(const char* begin, const char* end) {
    while (begin < end && IsSpace(*begin)) ++begin;
    while (end > begin && IsSpace(end[-1])) --end;
    return TextSpan{begin, static_cast<int>(end - begin)};
}

}  // namespace

bool TextSpan::Equals(const char* text) const {
    return static_cast<int>(std::strlen(text)) == length && std::memcmp(text, data, length) == 0;
}

String Quoted(const TextSpan& span) {
    constexpr int kLongest = 40;
    char buffer[kLongest + 4];
    int length = span.length < kLongest ? span.length : kLongest;
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(span.data[i]);
        buffer[i] = (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    if (span.length > kLongest) {
        std::memcpy(buffer + length, "...", 3);
        length += 3;
    }
    return String(buffer, length);
}

void LineCursor::SkipSpaces() {
    while (position_ < end_ && IsSpace(*position_)) ++position_;
}

bool LineCursor::AtEnd() {
    SkipSpaces();
    return position_ == end_;
}

char LineCursor::Peek() { return AtEnd() ? 0 : *position_; }

bool LineCursor::Accept(char c) {
    if (Peek() != c || c == 0) return false;
    ++position_;
    return true;
}

TextSpan LineCursor::ReadWord() {
    SkipSpaces();
    const char* begin = position_;
    while (position_ < end_ && (IsLetter(*position_) || IsDigit(*position_) || *position_ == '_' || *position_ == '.'))
        ++position_;
    return TextSpan{begin, static_cast<int>(position_ - begin)};
}

TextSpan LineCursor::ReadLetters() {
    const char* begin = position_;
    while (position_ < end_ && IsLetter(*position_)) ++position_;
    return TextSpan{begin, static_cast<int>(position_ - begin)};
}

TextSpan LineCursor::ReadDigits() {
    const char* begin = position_;
    while (position_ < end_ && IsDigit(*position_)) ++position_;
    return TextSpan{begin, static_cast<int>(position_ - begin)};
}

TextSpan LineCursor::ReadToComma() {
    const char* begin = position_;
    while (position_ < end_ && *position_ != ',') ++position_;
    return Trimmed(begin, position_);
}

TextSpan LineCursor::Rest() {
    const char* begin = position_;
    position_ = end_;
    return Trimmed(begin, end_);
}

}  // namespace zav::shader
