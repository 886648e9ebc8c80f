#include "movie/FlashObject.h"

namespace pictova {

void TFlashObject::SetOwner(TFlashMovie* movie) {
    Owner = movie;
    ChangeOwner();
}

void TFlashIDObject::Assign(const TBasedSWFObject& source) {
    const auto& src = dynamic_cast<const TFlashIDObject&>(source);
    if (!Owner)
        SetOwner(src.Owner);
    SetCharacterId(src.CharacterId());
}

} // namespace pictova
