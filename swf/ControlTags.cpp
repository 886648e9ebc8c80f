#include "swf/ControlTags.h"

#include "swf/MD5.h"

namespace pictova {

void TSWFSetBackgroundColor::WriteTagBody(TBitsEngine& be) {
    be.WriteRGB(Color.RGB());
}

void TSWFFrameLabel::WriteTagBody(TBitsEngine& be) {
    be.WriteString(Name, true, false);
    if (NamedAnchor)
        be.WriteByte(1);
}

uint8_t TSWFProtect::MinVersion() const {
    return Password.empty() && Hash.empty() ? 2 : 5;
}

void TSWFProtect::WriteTagBody(TBitsEngine& be) {
    if (!Password.empty()) {
        be.WriteWord(0); // reserved
        Hash = MD5Crypt(Password, "");
    }
    if (!Hash.empty())
        be.WriteString(Hash, true, false);
}

void TSWFExportAssets::Assign(const TBasedSWFObject& source) {
    const auto& src = dynamic_cast<const TSWFExportAssets&>(source);
    TSWFObject::operator=(src);
    Assets.insert(Assets.end(), src.Assets.begin(), src.Assets.end());
}

void TSWFExportAssets::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(uint16_t(Assets.size()));
    for (const TSWFAsset& asset : Assets) {
        be.WriteWord(asset.ID);
        be.WriteString(asset.Name, true, false);
    }
}

void TSWFImportAssets::Assign(const TBasedSWFObject& source) {
    TSWFExportAssets::Assign(source);
    URL = dynamic_cast<const TSWFImportAssets&>(source).URL;
}

void TSWFImportAssets::WriteTagBody(TBitsEngine& be) {
    be.WriteString(URL, true, false);
    TSWFExportAssets::WriteTagBody(be);
}

void TSWFScriptLimits::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(MaxRecursionDepth);
    be.WriteWord(ScriptTimeoutSeconds);
}

void TSWFSetTabIndex::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(Depth);
    be.WriteWord(TabIndex);
}

} // namespace pictova
