#include "movie/FlashObject.h"

namespace pictova {

void TFlashObject::SetOwner(TFlashMovie* movie) {
    Owner = movie;
    ChangeOwner();
}

void TFlashIDObject::Assign(const TBasedSWFObject& source) {
    AssignFlashObject(*this, source);
}

} // namespace pictova
