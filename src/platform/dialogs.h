#pragma once
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace morvello {

// Every message and the one input box go through this interface, so tests can
// read what the pupil would be told and answer in the pupil's place.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // A message box with one OK button and the program's title.
    virtual void message(const QString &text) = 0;
    // The input box; nullopt when the pupil cancels. The answer is at most
    // maxLength characters long.
    virtual std::optional<QString> input(const QString &prompt, int maxLength = 255) = 0;
};

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

// Answers queued in advance; remembers what was said.
class ScriptedDialogs : public Dialogs
{
public:
    void message(const QString &text) override { messages << text; }
    std::optional<QString> input(const QString &prompt, int maxLength = 255) override;

    void queueAnswer(const QString &answer) { m_answers.push_back(answer); }
    void queueCancel() { m_answers.push_back(std::nullopt); }

    QStringList messages;
    QStringList prompts;

private:
    QList<std::optional<QString>> m_answers;
};

QString programTitle(); // "Morvello"

} // namespace morvello
