#include "tools/strinfo/SceneTree.h"

#include <cstdlib>

#include "engine/platform/Platform.h"

namespace zav::tools {

namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

void SceneTreeRecorder::Print(int level, const String& text) {
    std::string line(text.CStr(), static_cast<size_t>(text.Length()));
    if (level == kLogInfo) {
        if (StartsWith(line, "Read ID["))
            OnRead(static_cast<int32_t>(std::strtol(line.c_str() + 8, nullptr, 10)));
        else if (StartsWith(line, "RTTI["))
            OnRecord(line);
        return;
    }
    problems_.push_back(LogLevelPrefix(level) + platform::CodePageToUtf8(line.c_str()));
    if (!nodes_.empty()) failing_ = true;
}

// A reference: to an object met before, or the start of a new object's
// record, which the objects read until its record ends belong to.
void SceneTreeRecorder::OnRead(int32_t streamId) {
    if (streamId == -1) return;
    std::vector<Link>& owner = open_.empty() ? roots_ : open_.back()->links;
    auto known = byStreamId_.find(streamId);
    if (known != byStreamId_.end()) {
        owner.push_back({known->second, true});
        return;
    }
    nodes_.push_back(std::make_unique<Node>());
    Node* node = nodes_.back().get();
    byStreamId_[streamId] = node;
    owner.push_back({node, false});
    open_.push_back(node);
}

// "RTTI[type] ID[id] Name[name] Pointer[position]" ends the innermost open
// record. The name may hold anything, so it runs to the last "] Pointer[".
void SceneTreeRecorder::OnRecord(const std::string& text) {
    if (open_.empty()) return;
    Node* node = open_.back();
    open_.pop_back();
    size_t idStart = text.find("] ID[");
    size_t nameStart = text.find("] Name[", idStart);
    size_t nameEnd = text.rfind("] Pointer[");
    if (idStart == std::string::npos || nameStart == std::string::npos || nameEnd == std::string::npos ||
        nameEnd < nameStart)
        return;
    node->type = text.substr(5, idStart - 5);
    node->id = static_cast<int32_t>(std::strtol(text.c_str() + idStart + 5, nullptr, 10));
    node->name = platform::CodePageToUtf8(text.substr(nameStart + 7, nameEnd - nameStart - 7).c_str());
    node->ended = true;
    node->complete = !failing_;
}

void SceneTreeRecorder::PrintLabel(std::ostream& out, const Node& node) {
    if (!node.ended) {
        out << "(object not read to the end)";
        return;
    }
    out << node.type << " \"" << node.name << "\" (ID " << node.id << ")";
    if (!node.complete) out << " [record failed]";
}

void SceneTreeRecorder::PrintNode(std::ostream& out, const Link& link, int depth) const {
    out << std::string(static_cast<size_t>(depth) * 2, ' ');
    if (link.repeated) {
        out << "-> ";
        PrintLabel(out, *link.node);
        out << ", shown above\n";
        return;
    }
    PrintLabel(out, *link.node);
    out << "\n";
    for (const Link& child : link.node->links) PrintNode(out, child, depth + 1);
}

void SceneTreeRecorder::PrintTree(std::ostream& out) const {
    for (const Link& root : roots_) PrintNode(out, root, 0);
}

void SceneTreeRecorder::PrintProblems(std::ostream& out) const {
    for (const std::string& line : problems_) out << line << "\n";
}

}  // namespace zav::tools
