// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QLabel>
#include <QString>

class QWidget;

namespace morvello {

class StyledLabel;

// What a screen reader is told about the program's own controls, beyond
// what Qt tells of its standard ones: the screens are windows named by their
// title; clickable and draggable labels are buttons that can be pressed; a
// counter is named by what it counts and the number it shows now.
namespace a11y {

// Installs the interfaces above for the whole program; calling it again does
// nothing. The program's start-up calls it, and so does every test program.
void install();

// Names `label` as a counter: a screen reader hears "<what>: <number shown>",
// and hears it again each time the number changes. The label's own
// accessible name, if any, gives way to this.
void nameCounter(StyledLabel *label, const QString &what);
// What `label` counts, as given to nameCounter(); empty for no counter.
QString counterName(const QWidget *label);

// The keyboard focus left `lost` (disabled or hidden by an answer): puts it
// on the first control after `lost` in the Tab order that can take it and is
// not one of `avoid` (the exits), so that the next key stays in the
// exercise. Returns the control given the focus, or null.
QWidget *keepFocusNear(QWidget *lost, const QList<QWidget *> &avoid);

} // namespace a11y

// A line a screen reader speaks as soon as it changes, without the keyboard
// focus moving: the verdict of an answer. It is a one-pixel, blank notice on
// its screen: nothing for the eye.
class LiveRegion : public QLabel
{
    Q_OBJECT
public:
    explicit LiveRegion(QWidget *parent);
    void announce(const QString &text);
    QString lastAnnouncement() const { return text(); }
    // How many times something was announced.
    int count() const { return m_count; }

protected:
    void paintEvent(QPaintEvent *) override {}

private:
    int m_count = 0;
};

} // namespace morvello
