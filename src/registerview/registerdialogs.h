// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/dialogs.h"

class QWidget;

namespace morvello {

// The register program's own boxes, titled as its window: a teacher's
// program, at the desktop's sizes, with no guide for pupils.
class RegisterDialogs : public Dialogs
{
public:
    explicit RegisterDialogs(QWidget *parent) : m_parent(parent) {}
    void message(const QString &text) override;
    std::optional<QString> input(const QString &prompt, int maxLength = 255) override;
    int choose(const QString &text, const QStringList &buttons) override;
    // The standard print dialog; a report has no page range to choose.
    bool choosePrinter(QPrinter &printer) override;
    std::optional<QString> chooseFolder(const QString &title, const QString &start) override;
    void showGuide(const QString &) override {}

private:
    QWidget *m_parent;
};

} // namespace morvello
