#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Answers every application-modal message box that runs while it lives, and keeps what
// each said; it acts only inside the box's own event loop, so it never waits.
class messageCatcher_t : public QObject
{
public:
    QStringList titles;
    QStringList texts;

    messageCatcher_t()
    {
        QObject::connect(&timer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                titles << box->windowTitle();
                texts << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        timer.start(0);
    }

private:
    QTimer timer;
};
