#pragma once
#include "core/dialogs.h"

class QWidget;

namespace morvello {

// The real boxes, titled "Morvello".
class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void message(const QString &text) override;
    std::optional<QString> input(const QString &prompt, int maxLength = 255) override;

private:
    QWidget *m_parent;
};

} // namespace morvello
