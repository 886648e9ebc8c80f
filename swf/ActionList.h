#pragma once
// TSWFActionList, the owning list of one script's actions in execution
// order; TSWFActionByteCode, a block of raw action bytes; the action factory.

#include "swf/Actions.h"
#include "swf/BranchActions.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pictova {

class TSWFReader;

// Pseudo-action 0xFE: raw action records, written as they are, no header.
class TSWFActionByteCode : public TSWFAction4 {
public:
    TSWFActionByteCode() { ActionCode = 0xFE; }
    // A copy keeps the bytes in storage of its own, also when the source
    // only refers to them.
    TSWFActionByteCode(const TSWFActionByteCode& source);
    TSWFActionByteCode& operator=(const TSWFActionByteCode& source);
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void WriteActionBody(TBitsEngine& be) override;
    uint32_t RecordSize() const override { return FCount; }

    // The object keeps the bytes.
    void SetBytes(std::string bytes);
    // The object refers to bytes the caller keeps alive while it is used.
    void SetBytesView(const uint8_t* data, uint32_t count);
    uint8_t Bytes(uint32_t i) const;
    uint32_t Count() const { return FCount; }
    bool OwnsBytes() const { return FOwns; }

private:
    std::string FOwned;
    const uint8_t* FData = nullptr;
    uint32_t FCount = 0;
    bool FOwns = false;
};

// A new object of the class for an action code (0xFE and 0xFF included), or
// nullptr for a code without a class.
std::unique_ptr<TSWFAction> CreateSWFAction(uint8_t code);

class TSWFActionList {
public:
    TSWFActionList() = default;
    // Copies as Assign makes them.
    TSWFActionList(const TSWFActionList& source) { Assign(source); }
    TSWFActionList& operator=(const TSWFActionList& source) {
        Assign(source);
        return *this;
    }
    virtual ~TSWFActionList() = default;

    size_t Count() const { return Items.size(); }
    bool Empty() const { return Items.empty(); }
    TSWFAction& operator[](size_t i) const { return *Items.at(i); }
    TSWFAction& Last() const { return *Items.back(); }
    // Index of an action in the list, or -1.
    ptrdiff_t IndexOf(const TSWFAction* action) const;
    void Clear() { Items.clear(); }

    // Appends an action; the list owns it. A marker gets InList.
    TSWFAction& Add(std::unique_ptr<TSWFAction> action);
    // Appends a new action of class T and returns it.
    template <class T> T& Add() { return static_cast<T&>(Add(std::make_unique<T>())); }
    void Insert(size_t index, std::unique_ptr<TSWFAction> action);

    // Places a branch target at the end of the list. nullptr: a new marker
    // with BeforeBranch true, for a later backward branch. A marker made by a
    // branch of this list (its BranchMarker): the list takes it over from
    // that branch, and BeforeBranch is set as given.
    TSWFOffsetMarker& AddMarker(TSWFOffsetMarker* marker = nullptr, bool beforeBranch = true);

    // Replaces the contents with copies of the source's actions (made through
    // the factory). Branches resolved through markers are linked to the
    // copies of their markers.
    void Assign(const TSWFActionList& source);

    // The greatest MinVersion of the actions; 0 when empty.
    uint8_t MinVersion() const;

    // Writes the actions in order, resolving branches through markers.
    void Write(TBitsEngine& be);
    // As Write, followed by the end byte 0 unless the last record that
    // occupies bytes already is one (an End action, a raw block ending in 0).
    void WriteTerminated(TBitsEngine& be);

    // Replaces the contents with the records read up to an end byte 0 or the
    // reader's end, and shows every branch target as a marker named
    // "label N" (or, when an offset misses every record boundary, keeps the
    // branch's marker out of the list, named "Error Size offset: N").
    // Lenient but bounded: a record whose length passes the end ends the list
    // and the reader is left at its end; a record of a code without a class,
    // or whose fields do not fill its length exactly, is kept as raw bytes, so
    // that writing the list again reproduces it and the offsets across it.
    void Read(TSWFReader& reader);

private:
    void LabelBranches();
    std::optional<size_t> WalkForward(size_t from, int64_t distance) const;
    std::optional<size_t> WalkBackward(size_t index, int64_t distance) const;
    std::unique_ptr<TSWFOffsetMarker> TakeMarker(TSWFOffsetMarker* marker);

    std::vector<std::unique_ptr<TSWFAction>> Items;
};

} // namespace pictova
