// Helpers of the streaming XML reader tests: loading a text through a real file and
// recording the events as lines.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "input/native_xml.h"
#include "test_support.h"

namespace itn::test {

// Records every event as a line: "new <name> <depth>", "loaded <name> <depth> [<value>]",
// "progress <size>".
struct TEventLog {
    std::vector<std::string> Lines;
    bool WithProgress = true;
    bool WithValues = true;

    void Attach(TNativeXml& Xml) {
        Xml.OnNodeNew = [this](TNativeXml&, TXmlNode& Node) {
            Lines.push_back("new " + Node.Name() + " " + std::to_string(Node.TreeDepth()));
        };
        Xml.OnNodeLoaded = [this](TNativeXml&, TXmlNode& Node) {
            std::string line = "loaded " + Node.Name() + " " + std::to_string(Node.TreeDepth());
            if (WithValues) line += " [" + Node.ValueDirect() + "]";
            Lines.push_back(line);
        };
        Xml.OnProgress = [this](TNativeXml&, int32_t Size) {
            if (WithProgress) Lines.push_back("progress " + std::to_string(Size));
        };
    }
};

// Writes Text into a file of Dir and loads it.
inline void LoadText(TNativeXml& Xml, const TempDir& Dir, const std::string& Text, const std::string& Name = "doc.xml") {
    const std::string file = Dir / Name;
    WriteFile(file, Text);
    Xml.LoadFromFile(file);
}

// The message of the exception Fn raises, or "" when it raises none.
template <typename E = std::exception>
std::string ErrorOf(const std::function<void()>& Fn) {
    try {
        Fn();
    } catch (const E& e) {
        return e.what();
    }
    return "";
}

}  // namespace itn::test
