#pragma once
// The libraries' component: a plain object with an owner and a name. An owner destroys the
// components it owns when it is destroyed itself; a component can ask to be told when another
// one is destroyed (free notification), and a TComponentRef forgets a component that is gone.
// Components belong to the main thread.

#include "XVclUtil/MessageBox.h"

#include <memory>
#include <string>
#include <vector>

namespace XVclUtil {

class TComponent : public TNamedComponent {
public:
    explicit TComponent(TComponent* AOwner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    // The components this one owns, in the order they were created.
    const std::vector<TComponent*>& Components() const { return FComponents; }

    const std::string& Name() const { return FName; }
    void SetName(std::string AName) { FName = std::move(AName); }
    std::string ComponentName() const override { return FName; }

    // Asks that Notification(this component) be called on AComponent when this one is
    // destroyed. Asking twice registers once; the request ends when either side is destroyed.
    void FreeNotification(TComponent* AComponent);

    // Shared by the references to this component; false once it is destroyed.
    std::shared_ptr<const bool> AliveToken() const { return Alive; }

protected:
    // Called on a component that asked for it when AComponent is being destroyed.
    virtual void Notification(TComponent* /*AComponent*/) {}

private:
    void RemoveFreeNotification(TComponent* AComponent);

    TComponent* FOwner;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FreeNotifies; // both directions, as each side must forget the other
    std::string FName;
    std::shared_ptr<bool> Alive = std::make_shared<bool>(true);
};

// A reference that reads as null once its component is destroyed.
template <class T> class TComponentRef {
public:
    TComponentRef() = default;
    TComponentRef(T* component) { *this = component; }
    TComponentRef& operator=(T* component) {
        Component = component;
        Alive = component ? component->AliveToken() : nullptr;
        return *this;
    }
    T* get() const { return Alive && *Alive ? Component : nullptr; }
    operator T*() const { return get(); }
    T* operator->() const { return get(); }

private:
    T* Component = nullptr;
    std::shared_ptr<const bool> Alive;
};

} // namespace XVclUtil
