#include "swf/ActionTags.h"

#include "swf/SWFReader.h"

#include <algorithm>

namespace pictova {

TSWFDoAction::TSWFDoAction() : FOwned(std::make_unique<TSWFActionList>()), FActions(FOwned.get()) {
    TagID = tagDoAction;
}

TSWFDoAction::TSWFDoAction(TSWFActionList& actions) : FActions(&actions) {
    TagID = tagDoAction;
}

TSWFDoAction::TSWFDoAction(const TSWFDoAction& source)
    : TSWFObject(source), ParseActions(source.ParseActions),
      FOwned(std::make_unique<TSWFActionList>(*source.FActions)), FActions(FOwned.get()) {}

TSWFDoAction& TSWFDoAction::operator=(const TSWFDoAction& source) {
    TSWFObject::operator=(source);
    ParseActions = source.ParseActions;
    FActions->Assign(*source.FActions);
    return *this;
}

uint8_t TSWFDoAction::MinVersion() const {
    return std::max<uint8_t>(3, FActions->MinVersion());
}

void TSWFDoAction::WriteTagBody(TBitsEngine& be) {
    FActions->Write(be);
    be.WriteByte(0); // ActionEndFlag
}

void TSWFDoAction::ReadActions(TSWFReader& body) {
    if (ParseActions) {
        FActions->Read(body);
        return;
    }
    FActions->Clear();
    if (body.AtEnd())
        return;
    // All but the end byte, which is dropped.
    auto raw = std::make_unique<TSWFActionByteCode>();
    raw->SetBytes(body.ReadBytes(body.Remaining() - 1));
    body.Skip(1);
    FActions->Add(std::move(raw));
}

void TSWFDoAction::ReadFromStream(TSWFReader& body) {
    ReadActions(body);
}

void TSWFDoInitAction::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(SpriteID);
    TSWFDoAction::WriteTagBody(be);
}

void TSWFDoInitAction::ReadFromStream(TSWFReader& body) {
    SpriteID = body.ReadWord(); // throws TSWFReadError on a body under 2 bytes
    ReadActions(body);
}

} // namespace pictova
