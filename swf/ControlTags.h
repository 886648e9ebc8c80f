#pragma once
// Control tags: End, ShowFrame, SetBackgroundColor, FrameLabel, Protect and
// the debugger tags, ExportAssets, ImportAssets, ScriptLimits, SetTabIndex.

#include "swf/SWFObject.h"
#include "swf/SWFRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pictova {

class TSWFEnd : public TSWFObject {
public:
    TSWFEnd() { TagID = tagEnd; }
};

class TSWFShowFrame : public TSWFObject {
public:
    TSWFShowFrame() { TagID = tagShowFrame; }
};

class TSWFSetBackgroundColor : public TSWFObject {
public:
    TSWFSetBackgroundColor() { TagID = tagSetBackgroundColor; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void WriteTagBody(TBitsEngine& be) override;

    TSWFRGB Color;
};

class TSWFFrameLabel : public TSWFObject {
public:
    TSWFFrameLabel() { TagID = tagFrameLabel; }
    explicit TSWFFrameLabel(std::string name) : TSWFFrameLabel() { Name = std::move(name); }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return NamedAnchor ? 6 : 3; }
    void WriteTagBody(TBitsEngine& be) override;

    bool NamedAnchor = false;
    std::string Name;
};

// Protects the movie against import. A non-empty password is stored as an
// MD5-crypt hash with a fresh salt on every write.
class TSWFProtect : public TSWFObject {
public:
    TSWFProtect() { TagID = tagProtect; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override;
    void WriteTagBody(TBitsEngine& be) override;

    std::string Hash;
    std::string Password;
};

class TSWFEnableDebugger : public TSWFProtect {
public:
    TSWFEnableDebugger() { TagID = tagEnableDebugger; }
    uint8_t MinVersion() const override { return 5; }
};

class TSWFEnableDebugger2 : public TSWFProtect {
public:
    TSWFEnableDebugger2() { TagID = tagEnableDebugger2; }
    uint8_t MinVersion() const override { return 6; }
};

struct TSWFAsset {
    std::string Name;
    uint16_t ID = 0;
};

class TSWFExportAssets : public TSWFObject {
public:
    TSWFExportAssets() { TagID = tagExportAssets; }
    // Appends the source's assets to those of this tag.
    void Assign(const TBasedSWFObject& source) override;
    uint8_t MinVersion() const override { return 5; }
    void WriteTagBody(TBitsEngine& be) override;

    void AddAsset(std::string name, uint16_t id) { Assets.push_back({std::move(name), id}); }
    std::vector<TSWFAsset> Assets;
};

class TSWFImportAssets : public TSWFExportAssets {
public:
    TSWFImportAssets() { TagID = tagImportAssets; }
    void Assign(const TBasedSWFObject& source) override;
    void WriteTagBody(TBitsEngine& be) override;

    std::string URL;
};

class TSWFScriptLimits : public TSWFObject {
public:
    TSWFScriptLimits() { TagID = tagScriptLimits; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return 7; }
    void WriteTagBody(TBitsEngine& be) override;

    uint16_t MaxRecursionDepth = 0;
    uint16_t ScriptTimeoutSeconds = 0;
};

class TSWFSetTabIndex : public TSWFObject {
public:
    TSWFSetTabIndex() { TagID = tagSetTabIndex; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return 7; }
    void WriteTagBody(TBitsEngine& be) override;

    uint16_t Depth = 0;
    uint16_t TabIndex = 0;
};

} // namespace pictova
