#pragma once
// A page of a tab widget whose controls are made when it is first shown (or asked for): the
// builder runs just before the page becomes visible, so the page never shows without them.

#include <QWidget>

#include <functional>
#include <utility>

namespace AppUi {

class TLazyPage : public QWidget {
    Q_OBJECT

public:
    explicit TLazyPage(QWidget* parent = nullptr);

    void SetBuilder(std::function<void()> builder) { Builder = std::move(builder); }
    // Makes the page's controls now unless they are made already.
    void Build();
    bool IsBuilt() const { return Made; }

    void setVisible(bool visible) override;

signals:
    // The page's controls have just been made.
    void Built();

private:
    std::function<void()> Builder;
    bool Made = false;
};

} // namespace AppUi
