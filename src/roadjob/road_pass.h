// One pass of the road job: the reader of a road file hands it every node. A pass that can
// read a later file on another thread makes a pass of its own for it, with tables of its own,
// and takes those tables in when that file's turn comes.
#pragma once

#include <memory>

namespace itn {

class TXmlNode;

class TRoadPass {
public:
    virtual ~TRoadPass() = default;

    // Before the first node of every file.
    virtual void StartFile() {}
    virtual void NodeNew(TXmlNode& Node) = 0;
    virtual void NodeLoaded(TXmlNode& Node) = 0;
    // After a file: false when it held no road network feature (only phase 1 counts them).
    virtual bool FileHeldRoadFeatures() const { return true; }
    // A pass for a later file with empty tables of its own, or none when this pass reads
    // every file itself.
    virtual std::unique_ptr<TRoadPass> ForLaterFile() const { return nullptr; }
    // Takes in the tables of a pass made by ForLaterFile, whose file comes after everything
    // these tables hold.
    virtual void MergeLater(TRoadPass& /*Later*/) {}
};

}  // namespace itn
