#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "engine/core/Log.h"

namespace zav::tools {

// Follows a scene load through the engine's log: every object reference
// read logs "Read ID[...]", and every object read in full logs its type, new
// ID and name once its record is done. From these lines it rebuilds the
// object graph as the file holds it, whatever classes are registered. It also
// keeps the WARNING and ERROR lines. Register it while the scene loads.
class SceneTreeRecorder : public MessageOutput {
public:
    SceneTreeRecorder() : MessageOutput("strinfo") {}

    void Print(int level, const String& text) override;

    // The graph as an indented tree, one object per line: type name, name
    // (UTF-8) and object ID; an object met again is a reference to the line
    // that showed it. Objects whose record failed, or was never finished,
    // are marked.
    void PrintTree(std::ostream& out) const;
    // The WARNING and ERROR lines, each with its level prefix, in UTF-8.
    void PrintProblems(std::ostream& out) const;

private:
    struct Node;
    struct Link {
        Node* node;
        bool repeated;
    };
    struct Node {
        std::string type;
        std::string name;
        int32_t id = -1;
        bool ended = false;     // its record's end was logged
        bool complete = false;  // and nothing had failed by then
        std::vector<Link> links;
    };

    void OnRead(int32_t streamId);
    void OnRecord(const std::string& text);
    void PrintNode(std::ostream& out, const Link& link, int depth) const;
    static void PrintLabel(std::ostream& out, const Node& node);

    std::vector<std::unique_ptr<Node>> nodes_;
    std::map<int32_t, Node*> byStreamId_;
    std::vector<Node*> open_;
    std::vector<Link> roots_;
    std::vector<std::string> problems_;
    // A read fails the stream at its first problem; every record that ends
    // after it ends failed.
    bool failing_ = false;
};

}  // namespace zav::tools
