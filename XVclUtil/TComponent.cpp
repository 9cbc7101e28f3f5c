#include "XVclUtil/TComponent.h"

#include <algorithm>

namespace XVclUtil {

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {
    if (FOwner) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
    *Alive = false;
    // Watchers hear of the end first; each forgets this component in return.
    while (!FreeNotifies.empty()) {
        TComponent* other = FreeNotifies.back();
        FreeNotifies.pop_back();
        other->RemoveFreeNotification(this);
        other->Notification(this);
    }
    // Owned components go last-created first; each takes itself out of the list.
    while (!FComponents.empty()) delete FComponents.back();
    if (FOwner) {
        auto& siblings = FOwner->FComponents;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (std::find(FreeNotifies.begin(), FreeNotifies.end(), AComponent) != FreeNotifies.end())
        return;
    FreeNotifies.push_back(AComponent);
    AComponent->FreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    FreeNotifies.erase(std::remove(FreeNotifies.begin(), FreeNotifies.end(), AComponent),
                       FreeNotifies.end());
}

} // namespace XVclUtil
