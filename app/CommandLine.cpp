#include "app/CommandLine.h"

#include <cctype>

namespace zav {

namespace {

size_t SkipProgramName(const std::string& line) {
    if (line.empty()) return 0;
    if (line[0] == '"') {
        size_t close = line.find('"', 1);
        return close == std::string::npos ? line.size() : close + 1;
    }
    size_t space = line.find(' ');
    return space == std::string::npos ? line.size() : space + 1;
}

// Parses the decimal number at the first digit after `position`. Numbers
// beyond 32 bits are not window handles and give no parent.
void ReadParentWindow(const std::string& line, size_t position, ModeSelection& selection) {
    while (position < line.size() && !std::isdigit(static_cast<unsigned char>(line[position]))) ++position;
    if (position >= line.size()) return;
    uint64_t value = 0;
    for (; position < line.size() && std::isdigit(static_cast<unsigned char>(line[position])); ++position) {
        value = value * 10 + static_cast<uint64_t>(line[position] - '0');
        if (value > UINT32_MAX) return;
    }
    if (value == 0) return;
    selection.hasParent = true;
    selection.parentWindow = static_cast<uint32_t>(value);
}

}  // namespace

ModeSelection SelectMode(const std::string& commandLine) {
    ModeSelection selection;
    size_t position = commandLine.find_first_of("/-", SkipProgramName(commandLine));
    if (position == std::string::npos) return selection;  // configure, no parent
    ++position;
    char letter = position < commandLine.size()
                      ? static_cast<char>(std::tolower(static_cast<unsigned char>(commandLine[position])))
                      : '\0';
    switch (letter) {
        case 'a': selection.mode = kModePassword; break;
        case 'c': selection.mode = kModeConfigure; break;
        case 'p': selection.mode = kModePreview; break;
        case 't': selection.mode = kModeTest; return selection;
        default: selection.mode = kModeScreensaver; return selection;
    }
    ReadParentWindow(commandLine, position + 1, selection);
    return selection;
}

}  // namespace zav
