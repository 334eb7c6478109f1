// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/dialogs.h"

#include <QPointer>

class QWidget;

namespace morvello {

// The real boxes, titled "Morvello".
class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    ~QtDialogs() override;
    void message(const QString &text) override;
    std::optional<QString> input(const QString &prompt, int maxLength = 255) override;
    int choose(const QString &text, const QStringList &buttons) override;
    bool choosePrinter(QPrinter &printer) override;
    std::optional<QString> chooseFolder(const QString &title, const QString &start) override;
    // One guide window: asked again, it comes to the front.
    void showGuide(const QString &dataFolder) override;

private:
    QWidget *m_parent;
    QPointer<QWidget> m_guide;
};

} // namespace morvello
