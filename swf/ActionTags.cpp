#include "swf/ActionTags.h"

#include "swf/SWFReader.h"

#include <algorithm>

namespace pictova {

TSWFDoAction::TSWFDoAction() : FOwned(std::make_unique<TSWFActionList>()), FActions(FOwned.get()) {
    TagID = tagDoAction;
}

TSWFDoAction::TSWFDoAction(TSWFActionList &actions) : FActions(&actions) {
    TagID = tagDoAction;
}

void TSWFDoAction::Assign(const TBasedSWFObject &source) {
    TSWFObject::Assign(source);
    const auto &src = dynamic_cast<const TSWFDoAction &>(source);
    ParseActions = src.ParseActions;
    FActions->Assign(*src.FActions);
}

uint8_t TSWFDoAction::MinVersion() const {
    return std::max<uint8_t>(3, FActions->MinVersion());
}

void TSWFDoAction::WriteTagBody(TBitsEngine &be) {
    FActions->Write(be);
    be.WriteByte(0); // ActionEndFlag
}

void TSWFDoAction::ReadActions(TSWFReader &body) {
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

void TSWFDoAction::ReadFromStream(TSWFReader &body) {
    ReadActions(body);
}

void TSWFDoInitAction::Assign(const TBasedSWFObject &source) {
    TSWFDoAction::Assign(source);
    SpriteID = dynamic_cast<const TSWFDoInitAction &>(source).SpriteID;
}

void TSWFDoInitAction::WriteTagBody(TBitsEngine &be) {
    be.WriteWord(SpriteID);
    TSWFDoAction::WriteTagBody(be);
}

void TSWFDoInitAction::ReadFromStream(TSWFReader &body) {
    SpriteID = body.ReadWord(); // throws TSWFReadError on a body under 2 bytes
    ReadActions(body);
}

} // namespace pictova
