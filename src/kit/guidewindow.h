// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QWidget>

class QTextBrowser;

namespace morvello {

// The teacher's guide: a short Italian page shipped inside the program and
// shown with Qt's own text browser, in a window of its own beside the
// screens.
class GuideWindow : public QWidget
{
    Q_OBJECT
public:
    // dataFolder: this computer's data folder, named on the page.
    explicit GuideWindow(const QString &dataFolder, QWidget *parent = nullptr);

    QTextBrowser *browser() const { return m_browser; }

    // The page, with the data folder written in.
    static QString pageHtml(const QString &dataFolder);

private:
    QTextBrowser *m_browser = nullptr;
};

} // namespace morvello
